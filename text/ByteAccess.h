// Byte access shared by the conversions of jconvert (internal).
//
// Reading past the end of a text yields a zero byte, which is how a lead
// byte cut off by the end of a text gets its partner. Pure, thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/jconvert.h"

namespace velt::jconvert_detail {

inline unsigned char ByteAt(std::string_view text, std::size_t position) {
  return position < text.size() ? static_cast<unsigned char>(text[position]) : 0;
}

inline void AppendByte(std::string& out, unsigned char byte) { out.push_back(static_cast<char>(byte)); }

inline void AppendPair(std::string& out, BytePair pair) {
  AppendByte(out, pair.first);
  AppendByte(out, pair.second);
}

inline bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

inline constexpr unsigned char kEsc = 0x1B;

// Output of a conversion whose size has a known bound: bytes go straight
// into memory reserved up front, with no growth checks in the hot loop.
class BoundedOutput {
 public:
  explicit BoundedOutput(std::size_t maxSize) : out_(maxSize, '\0'), next_(out_.data()) {}
  void Put(unsigned char byte) { *next_++ = static_cast<char>(byte); }
  void Put(BytePair pair) {
    next_[0] = static_cast<char>(pair.first);
    next_[1] = static_cast<char>(pair.second);
    next_ += 2;
  }
  std::string Take() && {
    out_.resize(static_cast<std::size_t>(next_ - out_.data()));
    return std::move(out_);
  }

 private:
  std::string out_;
  char* next_;
};

}  // namespace velt::jconvert_detail
