#include "busy_waits_counted.h"

#include "database/engine/busy_wait_bookkeeping.h"

namespace sqliteplus {

unsigned long long busyWaitsBegun() { return busywaits::begun; }

unsigned long long busyWaitsBegunAnywhere() { return busywaits::begunAnywhere.load(); }

unsigned long long busyWaitsGivenUp() { return busywaits::givenUp.load(); }

}  // namespace sqliteplus
