// For tests that hold the database file from another connection: how many waits for it have begun
// and been given up, read from the busy wait's own bookkeeping
// (database/engine/busy_wait_bookkeeping.h), so that a test waits for the wait it checks rather
// than for a time. In the library kelvara_database_test_support.
#pragma once

namespace sqliteplus {

// How many waits for a busy file have begun on the calling thread: what tells a statement that
// waited from one that gave up at once, however slow a busy machine makes either.
unsigned long long busyWaitsBegun();
// How many waits for a busy file have begun on any thread: what another thread can wait for to
// know that a worker has met the file held, rather than guess how long it takes to get there.
unsigned long long busyWaitsBegunAnywhere();
// How many times a statement, on any thread, has given up on a busy file once its wait was spent:
// what another thread that holds the file can wait for before it lets go.
unsigned long long busyWaitsGivenUp();

}  // namespace sqliteplus
