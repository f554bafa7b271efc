#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "crawler/AnswerBuffer.h"

namespace velt {
namespace {

// Feeds the text in chunks of the given sizes; returns how many chunks were
// accepted before Append asked to stop (all of them when it never did).
size_t Feed(AnswerBuffer& buffer, const std::string& text, const std::vector<size_t>& chunks) {
  size_t offset = 0;
  for (size_t i = 0; i < chunks.size(); ++i) {
    if (!buffer.Append(text.data() + offset, static_cast<int>(chunks[i]))) return i + 1;
    offset += chunks[i];
  }
  return chunks.size();
}

bool HoldsMarker(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text.find(EndMarker) != std::string::npos;
}

TEST(AnswerBufferTest, AMarkerInTheFirstChunkStopsAfterThatChunk) {
  AnswerBuffer buffer;
  const std::string answer = "HTTP/1.1 200 OK\r\n\r\n<p>x</p><xmlheader>more";
  EXPECT_EQ(Feed(buffer, answer, {answer.size()}), 1u);
  EXPECT_EQ(buffer.Take(), answer);
  EXPECT_EQ(buffer.Size(), 0u);
}

TEST(AnswerBufferTest, AMarkerSplitAtAnyPointIsFoundWhenItsSecondHalfArrives) {
  const std::string answer = "0123456789<XmlHeader>tail";
  for (size_t split = 11; split < 20; ++split) {
    AnswerBuffer buffer;
    EXPECT_EQ(Feed(buffer, answer, {split, answer.size() - split}), 2u) << split;
  }
  // Byte by byte: stops exactly at the marker's last byte.
  AnswerBuffer buffer;
  EXPECT_EQ(Feed(buffer, answer, std::vector<size_t>(answer.size(), 1)), 20u);
}

TEST(AnswerBufferTest, StopsAtTheSameChunkAsASearchOfTheWholeBuffer) {
  std::mt19937 random(7);
  const std::string alphabet = "<XMLHEADERxmlheader> ";
  for (int round = 0; round < 300; ++round) {
    std::string text(200 + random() % 400, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    if (round % 2 == 0) text.insert(random() % text.size(), "<xMlHeAdEr");
    std::vector<size_t> chunks;
    for (size_t left = text.size(); left > 0;) {
      chunks.push_back(std::min<size_t>(left, 1 + random() % 12));
      left -= chunks.back();
    }
    size_t expected = chunks.size();
    for (size_t i = 0, seen = 0; i < chunks.size(); ++i) {
      seen += chunks[i];
      if (HoldsMarker(text.substr(0, seen))) {
        expected = i + 1;
        break;
      }
    }
    AnswerBuffer buffer;
    ASSERT_EQ(Feed(buffer, text, chunks), expected) << "round " << round;
  }
}

TEST(AnswerBufferTest, AnAnswerWithoutMarkerEndsAtTheCap) {
  AnswerBuffer buffer;
  const std::string block(1025, 'a');
  size_t accepted = 0;
  while (buffer.Append(block.data(), static_cast<int>(block.size()))) ++accepted;
  EXPECT_EQ(accepted, MaxAnswerBytes / block.size());
  EXPECT_EQ(buffer.Size(), MaxAnswerBytes);
  EXPECT_FALSE(buffer.Append(block.data(), 1));
  EXPECT_EQ(buffer.Size(), MaxAnswerBytes);
}

}  // namespace
}  // namespace velt
