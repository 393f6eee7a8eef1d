#include "ListFill.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <thread>

namespace {

// Sort keys of texts[first, last), one NUL-terminated byte string each, packed into one buffer.
struct KeyBlock {
    std::string bytes;
    std::vector<std::size_t> start;

    void Compute(const std::vector<const char*>& texts, std::size_t first, std::size_t last, LCID locale) {
        start.resize(last - first);
        std::wstring wide;
        for (std::size_t i = first; i < last; ++i) {
            const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, texts[i], -1, nullptr, 0);
            wide.resize(static_cast<std::size_t>(std::max(wideLength, 1)));
            ::MultiByteToWideChar(CP_ACP, 0, texts[i], -1, &wide[0], wideLength);
            const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
            const int keyLength = ::LCMapStringW(locale, flags, wide.c_str(), -1, nullptr, 0);
            const std::size_t at = bytes.size();
            start[i - first] = at;
            bytes.resize(at + static_cast<std::size_t>(std::max(keyLength, 1)));
            if (keyLength <= 0 || !::LCMapStringW(locale, flags, wide.c_str(), -1,
                                                  reinterpret_cast<LPWSTR>(&bytes[at]), keyLength))
                bytes[at] = '\0';
        }
    }
};

inline unsigned char ByteAt(const char* const* keys, std::size_t row, std::size_t depth) {
    return static_cast<unsigned char>(keys[row][depth]);
}

// Sorts the rows a[0, n) by their keys from byte `depth` on, rows with equal keys by row number (which
// makes the order stable). A three-way radix quicksort: paths share long prefixes, and it looks at the
// bytes of a shared prefix once per partition instead of once per comparison.
void SortByKeys(std::size_t* a, std::size_t n, const char* const* keys, std::size_t depth) {
    while (n > 1) {
        if (n < 12) {
            for (std::size_t i = 1; i < n; ++i)
                for (std::size_t j = i; j > 0; --j) {
                    const int order = std::strcmp(keys[a[j - 1]] + depth, keys[a[j]] + depth);
                    if (order < 0 || (order == 0 && a[j - 1] < a[j]))
                        break;
                    std::swap(a[j - 1], a[j]);
                }
            return;
        }
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
        SortByKeys(a, lt, keys, depth);
        SortByKeys(a + gt, n - gt, keys, depth);
        a += lt;
        n = gt - lt;
        if (pivot == 0) { // whole keys equal: by row number
            std::sort(a, a + n);
            return;
        }
        ++depth;
    }
}

} // namespace

std::vector<std::size_t> OrderLikeSortedListBox(const std::vector<const char*>& texts, LCID locale) {
    // One sort key per text: comparing two keys byte by byte gives the comparison of their texts. Making
    // the keys is most of the work, so a long list shares it with a second core; the helper thread lives
    // only inside this call and touches nothing but its own half.
    const std::size_t count = texts.size();
    const bool split = count >= 20000 && std::thread::hardware_concurrency() > 1;
    const std::size_t half = split ? count / 2 : count;
    KeyBlock blocks[2];
    std::exception_ptr helperFailure;
    std::thread helper;
    if (split)
        helper = std::thread([&] {
            try {
                blocks[1].Compute(texts, half, count, locale);
            } catch (...) {
                helperFailure = std::current_exception();
            }
        });
    try {
        blocks[0].Compute(texts, 0, half, locale);
    } catch (...) {
        if (helper.joinable())
            helper.join();
        throw;
    }
    if (helper.joinable())
        helper.join();
    if (helperFailure)
        std::rethrow_exception(helperFailure);

    std::vector<const char*> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] =
            i < half ? &blocks[0].bytes[blocks[0].start[i]] : &blocks[1].bytes[blocks[1].start[i - half]];
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = i;
    SortByKeys(order.data(), count, keys.data(), 0);
    return order;
}

int WidestTextWidth(HDC dc, const std::vector<const char*>& texts) {
    CPINFO codePage = {};
    INT charWidths[256];
    const bool singleByte = ::GetCPInfo(CP_ACP, &codePage) && codePage.MaxCharSize == 1 &&
                            ::GetCharWidth32A(dc, 0, 255, charWidths);
    if (!singleByte) {
        int widest = 0;
        for (const char* text : texts) {
            SIZE size = {0, 0};
            ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
            widest = std::max<int>(widest, size.cx);
        }
        return widest;
    }
    // In a single-byte code page a text's width is near the sum of its characters' widths; only the texts
    // near the top are measured exactly, so that overhangs and the like are counted as the list draws them.
    std::vector<int> estimates(texts.size());
    int widestEstimate = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        int sum = 0;
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(texts[i]); *c; ++c)
            sum += charWidths[*c];
        estimates[i] = sum;
        widestEstimate = std::max(widestEstimate, sum);
    }
    const int margin = 16;
    int widest = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (estimates[i] + margin < widestEstimate)
            continue;
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, texts[i], static_cast<int>(std::strlen(texts[i])), &size);
        widest = std::max<int>(widest, size.cx);
    }
    return widest;
}
