#include "text/jconvert.h"

namespace velt {

// Unsigned char arithmetic wraps like the byte registers the formulas were
// made for, so out-of-range input gives garbage bytes, never a fault.

BytePair JisPairToShiftJis(unsigned char row, unsigned char cell) {
  const auto lead = static_cast<unsigned char>(((row + 1) >> 1) + (row < 0x5F ? 0x70 : 0xB0));
  unsigned char offset = 0x7E;
  if (row % 2 == 1) offset = cell < 0x60 ? 0x1F : 0x20;
  return {lead, static_cast<unsigned char>(cell + offset)};
}

BytePair ShiftJisPairToJis(unsigned char lead, unsigned char trail) {
  auto row = static_cast<unsigned char>(2 * (lead - (lead < 0xA0 ? 0x70 : 0xB0)));
  unsigned char cell = 0;
  if (trail < 0x9F) {
    row = static_cast<unsigned char>(row - 1);
    cell = static_cast<unsigned char>(trail - (trail < 0x80 ? 0x1F : 0x20));
  } else {
    cell = static_cast<unsigned char>(trail - 0x7E);
  }
  return {row, cell};
}

}  // namespace velt
