// The check list's key sort against std::stable_sort. The input chooses a shape of key set, the ones that
// stress a radix quicksort: arbitrary keys, long shared prefixes, few distinct bytes, many equal keys,
// keys that are prefixes of each other. Every input must give stable_sort's order, and the nesting of the
// sort's calls must stay within log2 of the row count.
#include "KeySort.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

// Reads the input as a stream of small numbers; an exhausted input reads as zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    size_t Below(size_t bound) { return bound ? (Byte() | size_t(Byte()) << 8) % bound : 0; }
    bool Done() const { return m_at >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size, m_at = 0;
};

// Keys never hold a NUL: it ends them.
char KeyByte(uint8_t b) {
    return static_cast<char>(b ? b : 1);
}

std::vector<std::string> MakeKeys(Input& in) {
    const uint8_t shape = in.Byte() % 5;
    const size_t count = 1 + in.Below(shape == 0 ? 400 : 20000);
    std::mt19937 random(static_cast<uint32_t>(in.Byte() | in.Byte() << 8));
    std::vector<std::string> keys;
    keys.reserve(count);
    switch (shape) {
    case 0: // the input's own bytes, split at 0xFF
        keys.emplace_back();
        while (!in.Done() && keys.size() < count) {
            const uint8_t b = in.Byte();
            if (b == 0xFF)
                keys.emplace_back();
            else
                keys.back() += KeyByte(b);
        }
        break;
    case 1: { // a long shared prefix, then a few varied bytes
        const std::string prefix(1 + in.Below(600), KeyByte(in.Byte()));
        const size_t tail = 1 + in.Below(8);
        for (size_t i = 0; i < count; ++i) {
            std::string key = prefix;
            for (size_t t = random() % (tail + 1); t > 0; --t)
                key += KeyByte(static_cast<uint8_t>(random()));
            keys.push_back(key);
        }
        break;
    }
    case 2: { // two or three distinct bytes, varied lengths
        const size_t alphabet = 2 + in.Below(2), length = 1 + in.Below(64);
        for (size_t i = 0; i < count; ++i) {
            std::string key(random() % (length + 1), '\0');
            for (char& c : key)
                c = static_cast<char>(1 + random() % alphabet);
            keys.push_back(key);
        }
        break;
    }
    case 3: { // many rows, few distinct keys
        const size_t distinct = 1 + in.Below(4);
        std::vector<std::string> pool(distinct);
        for (std::string& key : pool)
            key.assign(random() % 40, KeyByte(static_cast<uint8_t>(random())));
        for (size_t i = 0; i < count; ++i)
            keys.push_back(pool[random() % distinct]);
        break;
    }
    default: { // each key a prefix of the next, in a shuffled or reversed order
        const char c = KeyByte(in.Byte());
        for (size_t i = 0; i < std::min<size_t>(count, 2000); ++i)
            keys.push_back(std::string(i, c));
        if (in.Byte() & 1)
            std::reverse(keys.begin(), keys.end());
        else
            std::shuffle(keys.begin(), keys.end(), random);
        break;
    }
    }
    return keys;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const std::vector<std::string> keys = MakeKeys(in);
    std::vector<const char*> pointers;
    for (const std::string& key : keys)
        pointers.push_back(key.c_str());

    std::vector<size_t> ours(keys.size()), expected(keys.size());
    std::iota(ours.begin(), ours.end(), size_t{0});
    std::iota(expected.begin(), expected.end(), size_t{0});
    KeySortStats stats;
    SortRowsByKeys(ours.data(), ours.size(), pointers.data(), &stats);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](size_t a, size_t b) { return std::strcmp(pointers[a], pointers[b]) < 0; });
    if (ours != expected) {
        std::fprintf(stderr, "order differs from stable_sort for %zu keys\n", keys.size());
        std::abort();
    }
    const size_t bound = 2 + static_cast<size_t>(std::log2(static_cast<double>(keys.size() + 1)));
    if (stats.maxNesting > bound) {
        std::fprintf(stderr, "nesting %zu for %zu keys (bound %zu)\n", stats.maxNesting, keys.size(), bound);
        std::abort();
    }
    return 0;
}
