// Runs a test program with the library's heap blocks, the objects on its stack and the pointers it hands
// to its windows all at or above 4 GiB (64-bit only).
#ifndef CORVEL_TESTS_HIGH_ADDRESSES_H
#define CORVEL_TESTS_HIGH_ADDRESSES_H

namespace high_addresses {

// Reserves the free address space below 4 GiB, drains the heaps' segments down there, then runs every
// test on a new thread while recording what corvel.dll allocates and the init parameter of every dialog
// of the thread. Prints what it saw; the result is RUN_ALL_TESTS()'s, or 1 when the library got nothing,
// or anything below 4 GiB.
int RunAllTestsAbove4GiB();

} // namespace high_addresses

#endif // CORVEL_TESTS_HIGH_ADDRESSES_H
