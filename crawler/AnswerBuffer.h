// Collects the bytes of one answer until the end marker or the size cap.
//
// Append returns false (stop receiving) once "<XMLHEADER" has arrived, in
// any letter case and also when it is split between chunks, or once
// MaxAnswerBytes are held; bytes past the cap are dropped, so a server that
// never sends the marker ends the transfer as if it had closed. Each chunk
// is searched together with only the marker's length minus one bytes
// before it, so a long answer costs time in proportion to its length.
//
// One worker thread owns each buffer; there is no locking.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velt {

inline constexpr std::string_view EndMarker = "<XMLHEADER";
inline constexpr std::size_t MaxAnswerBytes = 16 * 1024 * 1024;

class AnswerBuffer {
 public:
  bool Append(const char* bytes, int count);
  // Hands the collected answer over and leaves the buffer empty.
  std::string Take();
  std::size_t Size() const { return text_.size(); }
  // Whether Append asked to stop: the answer may go on past what it holds.
  bool StoppedEarly() const { return stopped_; }

 private:
  std::string text_;
  bool stopped_ = false;
};

}  // namespace velt
