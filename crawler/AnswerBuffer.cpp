#include "crawler/AnswerBuffer.h"

#include <algorithm>

#include "net/AsciiCase.h"

namespace velt {

bool AnswerBuffer::Append(const char* bytes, int count) {
  if (count <= 0) return true;
  const std::size_t room = MaxAnswerBytes - text_.size();
  const std::size_t taken = std::min(room, static_cast<std::size_t>(count));
  // Only a marker that ends inside the new bytes can be new.
  const std::size_t scanFrom = text_.size() >= EndMarker.size() - 1 ? text_.size() - (EndMarker.size() - 1) : 0;
  text_.append(bytes, taken);
  const auto scan = text_.begin() + static_cast<std::ptrdiff_t>(scanFrom);
  stopped_ = std::search(scan, text_.end(), EndMarker.begin(), EndMarker.end(), SameAsciiLetter) != text_.end() ||
             text_.size() >= MaxAnswerBytes;
  return !stopped_;
}

std::string AnswerBuffer::Take() {
  std::string answer;
  answer.swap(text_);
  return answer;
}

}  // namespace velt
