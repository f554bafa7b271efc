#include "app/FatalStop.h"

#include "about/MessageBox.h"

namespace velt {

void FatalStop() { ShowMessageBox(FatalStopText, MbIconStop); }

}  // namespace velt
