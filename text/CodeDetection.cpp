#include "text/ByteAccess.h"
#include "text/jconvert.h"

namespace velt {
namespace {

using jconvert_detail::ByteAt;
using jconvert_detail::InRange;
using jconvert_detail::kEsc;

bool IsBinaryByte(unsigned char b) { return b < 0x08 || b == 0xFF; }

bool IsShiftJisOnlyLead(unsigned char b) { return InRange(b, 0x81, 0x8D) || InRange(b, 0x8F, 0x9F); }

// A byte that can only trail a Shift_JIS lead: 0x40..0x7E or 0x80..0xA0.
bool IsShiftJisOnlyTrail(unsigned char c) { return InRange(c, 0x40, 0x7E) || InRange(c, 0x80, 0xA0); }

struct Step {
  int verdict;
  std::size_t consumed;
};

// A kana-range byte followed by a lead of 0xE0..0xEF is either two EUC
// characters or a Shift_JIS katakana plus a pair; the bytes up to the next
// one below 0x40 may tell. The scan starts at the byte after `position`
// and the step ends just past the byte where it stopped.
Step ScanAmbiguousRun(std::string_view text, std::size_t position) {
  int verdict = CodeEucOrShiftJis;
  std::size_t scan = position + 1;
  while (scan < text.size() && ByteAt(text, scan) >= 0x40 && verdict == CodeEucOrShiftJis) {
    const unsigned char s = ByteAt(text, scan);
    if (InRange(s, 0x81, 0x8D) || InRange(s, 0x8F, 0x9C)) {
      verdict = CodeShiftJis;
    } else if (s == 0xFD || s == 0xFE) {
      verdict = CodeEuc;
    }
    ++scan;
  }
  return {verdict, scan + 1 - position};
}

// Judges the byte b at `position` and the byte after it; `verdict` is the
// verdict so far (0 or 6).
Step JudgeAt(std::string_view text, std::size_t position, int verdict) {
  const unsigned char b = ByteAt(text, position);
  const unsigned char c = ByteAt(text, position + 1);
  if (b == kEsc) {
    if (c != '$') return {verdict, 2};
    const unsigned char set = ByteAt(text, position + 2);
    if (set == 'B') return {CodeNewJis, 3};
    if (set == '@') return {CodeOldJis, 3};
    return {verdict, 3};
  }
  if (IsBinaryByte(b)) return {CodeBinary, 1};
  if (b < 0x80 || b == 0x80 || b == 0xA0) return {verdict, 1};
  if (IsShiftJisOnlyLead(b)) return {CodeShiftJis, 1};
  if (InRange(b, 0xF0, 0xFE)) return {CodeEuc, 1};
  if (b == 0x8E) {
    if (IsShiftJisOnlyTrail(c) || InRange(c, 0xE0, 0xFC)) return {CodeShiftJis, 2};
    if (InRange(c, 0xA1, 0xDF)) return {CodeEucOrShiftJis, 2};
    return {verdict, 2};
  }
  if (InRange(b, 0xA1, 0xDF)) {
    if (InRange(c, 0xF0, 0xFE)) return {CodeEuc, 2};
    if (InRange(c, 0xA1, 0xDF)) return {CodeEucOrShiftJis, 2};
    if (InRange(c, 0xE0, 0xEF)) return ScanAmbiguousRun(text, position);
    if (c <= 0x9F) return {CodeShiftJis, 2};
    return {verdict, 2};
  }
  // b is 0xE0..0xEF.
  if (IsShiftJisOnlyTrail(c)) return {CodeShiftJis, 2};
  if (c == 0xFD || c == 0xFE) return {CodeEuc, 2};
  if (InRange(c, 0xA1, 0xFC)) return {CodeEucOrShiftJis, 2};
  return {verdict, 2};
}

}  // namespace

int DetectJapaneseCode(std::string_view text) {
  const std::size_t n = text.size();
  // The last byte of the text is left out of both passes.
  for (std::size_t i = 0; i < BinaryCheckLimit && i + 1 < n; ++i) {
    if (IsBinaryByte(ByteAt(text, i))) return CodeBinary;
  }
  int verdict = CodeAscii;
  std::size_t position = 0;
  while ((verdict == CodeAscii || verdict == CodeEucOrShiftJis) && position + 1 < n) {
    const Step step = JudgeAt(text, position, verdict);
    verdict = step.verdict;
    position += step.consumed;
  }
  return verdict;
}

}  // namespace velt
