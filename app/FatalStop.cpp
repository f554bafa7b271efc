#include "app/FatalStop.h"

#include "about/MessageBox.h"

namespace velt {

void FatalStop() { ShowMessageBox("SORRY, FATAL ERROR OCCURED.", MbIconStop); }

}  // namespace velt
