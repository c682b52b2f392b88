// Each test is a user action of its own: a test that ends on a failure leaves the next one an action
// in which nothing has been said yet, as the event loop does between two clicks. Without it, tests
// run in one process take their first box for one already told.
#include <gtest/gtest.h>

#include "database/engine/busy_wait.h"

namespace {

class ActionPerTest : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { sqliteplus::endBusyWaitAction(); }
};

const bool registered = [] {
  ::testing::UnitTest::GetInstance()->listeners().Append(new ActionPerTest);
  return true;
}();

}  // namespace
