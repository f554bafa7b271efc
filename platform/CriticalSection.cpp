#include "platform/CriticalSection.h"

#include "platform/MainThread.h"

namespace velt {

void CriticalSection::Enter() {
  mutex_.lock();
  if (IsMainThread()) HoldMainThreadSteps();
}

void CriticalSection::Leave() {
  if (IsMainThread()) ReleaseMainThreadSteps();
  mutex_.unlock();
}

}  // namespace velt
