#include "crawler/FetchOutcome.h"

namespace velt {

bool IsTransientStatus(int resCode) {
  return resCode == 408 || resCode == 429 || resCode == 502 || resCode == 503 || resCode == 504;
}

}  // namespace velt
