#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using jconvert_detail::BoundedOutput;
using jconvert_detail::ByteAt;
using jconvert_detail::InRange;
using jconvert_detail::kEsc;

enum class JisMode { SingleByte, TwoByte, Katakana };

// Only the byte after ESC matters ("$" two-byte, "(" single-byte), so both
// JIS X 0208 editions read alike. ESC ( I is the one exception: its bytes
// are half-width katakana, and reading them as ASCII would turn ｱ into "1".
JisMode ModeAfterEscape(std::string_view jis, std::size_t esc, JisMode mode) {
  const unsigned char selector = ByteAt(jis, esc + 1);
  if (selector == '$') return JisMode::TwoByte;
  if (selector == '(') return ByteAt(jis, esc + 2) == 'I' ? JisMode::Katakana : JisMode::SingleByte;
  return mode;
}

// Walks a JIS text, handling escape sequences, and hands every other
// position to `emit(mode, position)`, which appends output and returns how
// many bytes it used.
template <typename Emit>
void ReadJis(std::string_view jis, Emit emit) {
  JisMode mode = JisMode::SingleByte;
  std::size_t i = 0;
  while (i < jis.size()) {
    if (ByteAt(jis, i) == kEsc) {
      mode = ModeAfterEscape(jis, i, mode);
      i += 3;
      continue;
    }
    i += emit(mode, i);
  }
}

bool IsKatakanaByte(unsigned char b) { return InRange(b, 0x21, 0x5F); }

}  // namespace

std::string JisToShiftJis(std::string_view jis) {
  BoundedOutput out(jis.size() + 1);  // only a lead cut off by the end grows
  ReadJis(jis, [&](JisMode mode, std::size_t i) -> std::size_t {
    const unsigned char b = ByteAt(jis, i);
    if (mode == JisMode::TwoByte) {
      out.Put(JisPairToShiftJis(b, ByteAt(jis, i + 1)));
      return 2;
    }
    out.Put(static_cast<unsigned char>(mode == JisMode::Katakana && IsKatakanaByte(b) ? b | 0x80 : b));
    return 1;
  });
  std::string text = std::move(out).Take();
  const std::size_t firstZero = text.find('\0');
  if (firstZero != std::string::npos) text.resize(firstZero);
  return text;
}

std::string JisToEuc(std::string_view jis) {
  BoundedOutput out(2 * jis.size());  // a katakana doubles
  ReadJis(jis, [&](JisMode mode, std::size_t i) -> std::size_t {
    const unsigned char b = ByteAt(jis, i);
    if (mode == JisMode::TwoByte && InRange(b, 0x21, 0x7E)) {
      out.Put(static_cast<unsigned char>(b | 0x80));
    } else if (mode == JisMode::Katakana && IsKatakanaByte(b)) {
      out.Put(static_cast<unsigned char>(0x8E));
      out.Put(static_cast<unsigned char>(b | 0x80));
    } else {
      out.Put(b);
    }
    return 1;
  });
  return std::move(out).Take();
}

}  // namespace velt
