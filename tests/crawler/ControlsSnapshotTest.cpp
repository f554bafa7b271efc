#include <gtest/gtest.h>

#include "crawler/ControlsSnapshot.h"

namespace velt {
namespace {

// What the next pass takes: the claim step's reading, less the worker lines
// that went since, and only once.
TEST(ControlsSnapshotTest, AnOfferServesOnePassAndFollowsTheLinesThatGo) {
  ControlsSnapshot snapshot;
  EXPECT_FALSE(snapshot.Take());  // nothing offered: the pass asks the main thread

  snapshot.Offer({30, 17, true});
  snapshot.LineRemoved();
  snapshot.LineRemoved();
  const auto taken = snapshot.Take();
  ASSERT_TRUE(taken);
  EXPECT_EQ(taken->maxThreads, 30);
  EXPECT_EQ(taken->threadCount, 15);
  EXPECT_TRUE(taken->retry302);
  EXPECT_FALSE(snapshot.Take());

  snapshot.LineRemoved();  // no offer standing: nothing to follow
  snapshot.Offer({5, 5, false});
  snapshot.Withdraw();  // the main thread read the controls itself
  EXPECT_FALSE(snapshot.Take());
}

}  // namespace
}  // namespace velt
