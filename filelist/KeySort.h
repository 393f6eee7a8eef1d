// Sorting rows by sort keys: byte strings that compare with strcmp as their texts compare.
#ifndef CORVEL_KEY_SORT_H
#define CORVEL_KEY_SORT_H

#include <atomic>
#include <cstddef>

struct KeySortStats {
    std::size_t maxNesting = 0; // deepest level of nested calls reached, 1 for the outermost
};

// Sorts rows[0, count) (indices into `keys`) by their keys, rows with equal keys by row number, so the
// order is the one a stable sort of 0, 1, 2, ... would give. The nesting of calls, and so the stack that
// the sort needs, grows with log2(count) whatever the keys. Once `stop` is set the sort gives up soon,
// leaving the rows in no particular order.
void SortRowsByKeys(std::size_t* rows, std::size_t count, const char* const* keys,
                    KeySortStats* stats = nullptr, const std::atomic<bool>* stop = nullptr);

#endif // CORVEL_KEY_SORT_H
