// The one notice of a failed start: a stop-icon box that the user closes.
// It does not end the program. Main thread only.
#pragma once

namespace velt {

inline constexpr char FatalStopText[] = "SORRY, FATAL ERROR OCCURED.";

void FatalStop();

}  // namespace velt
