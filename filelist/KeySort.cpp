#include "KeySort.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

inline unsigned char ByteAt(const char* const* keys, std::size_t row, std::size_t depth) {
    return static_cast<unsigned char>(keys[row][depth]);
}

void InsertionSort(std::size_t* a, std::size_t n, const char* const* keys, std::size_t depth) {
    for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = i; j > 0; --j) {
            const int order = std::strcmp(keys[a[j - 1]] + depth, keys[a[j]] + depth);
            if (order < 0 || (order == 0 && a[j - 1] < a[j]))
                break;
            std::swap(a[j - 1], a[j]);
        }
}

// Rows a[0, n) whose keys agree on their first `depth` bytes; `done` when the keys are wholly equal.
struct Part {
    std::size_t* a;
    std::size_t n;
    std::size_t depth;
    bool done;
};

// A three-way radix quicksort: paths share long prefixes, and it reads the bytes of a shared prefix once
// per partition instead of once per comparison. Each partition splits the rows into those below, at and
// above the pivot byte; the two smaller parts are sorted by nested calls and the largest by the loop, so
// a nested call never gets more than half of its caller's rows.
void Sort(Part part, const char* const* keys, std::size_t nesting, KeySortStats* stats,
          const std::atomic<bool>* stop) {
    if (stats && nesting > stats->maxNesting)
        stats->maxNesting = nesting;
    while (part.n > 1) {
        if (stop && part.n > 4096 && stop->load(std::memory_order_relaxed))
            return;
        if (part.done) { // whole keys equal: by row number
            std::sort(part.a, part.a + part.n);
            return;
        }
        if (part.n < 12) {
            InsertionSort(part.a, part.n, keys, part.depth);
            return;
        }
        std::size_t* a = part.a;
        const std::size_t n = part.n, depth = part.depth;
        const unsigned char x = ByteAt(keys, a[0], depth), y = ByteAt(keys, a[n / 2], depth),
                            z = ByteAt(keys, a[n - 1], depth);
        const unsigned char pivot = std::max(std::min(x, y), std::min(std::max(x, y), z));
        std::size_t lt = 0, i = 0, gt = n;
        while (i < gt) {
            const unsigned char c = ByteAt(keys, a[i], depth);
            if (c < pivot)
                std::swap(a[lt++], a[i++]);
            else if (c > pivot)
                std::swap(a[i], a[--gt]);
            else
                ++i;
        }
        Part parts[3] = {
            {a, lt, depth, false}, {a + lt, gt - lt, depth + 1, pivot == 0}, {a + gt, n - gt, depth, false}};
        Part* largest =
            std::max_element(parts, parts + 3, [](const Part& p, const Part& q) { return p.n < q.n; });
        for (Part& smaller : parts)
            if (&smaller != largest && smaller.n > 1)
                Sort(smaller, keys, nesting + 1, stats, stop);
        part = *largest;
    }
}

} // namespace

void SortRowsByKeys(std::size_t* rows, std::size_t count, const char* const* keys, KeySortStats* stats,
                    const std::atomic<bool>* stop) {
    Sort(Part{rows, count, 0, false}, keys, 1, stats, stop);
}
