#include "ListFill.h"

#include "KeySort.h"
#include "TaskThread.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Sort keys of texts[first, last), one NUL-terminated byte string each, packed into one buffer.
struct KeyBlock {
    std::string bytes;
    std::vector<std::size_t> start;

    void Compute(const std::vector<const char*>& texts, std::size_t first, std::size_t last, LCID locale,
                 UINT codePage, const std::atomic<bool>* stop) {
        start.resize(last - first);
        std::wstring wide;
        for (std::size_t i = first; i < last; ++i) {
            if (stop && i % 1024 == 0 && stop->load(std::memory_order_relaxed))
                return;
            const int length = static_cast<int>(std::strlen(texts[i]));
            wide.resize(static_cast<std::size_t>(length) + 1);
            const int wideLength =
                length ? ::MultiByteToWideChar(codePage, 0, texts[i], length, &wide[0], length) : 0;
            wide[static_cast<std::size_t>(std::max(wideLength, 0))] = L'\0';
            const std::size_t at = bytes.size();
            start[i - first] = at;
            // A key is made in one call into room that fits nearly every path; only a longer one asks first.
            std::size_t room = 8 * static_cast<std::size_t>(wideLength) + 32;
            bytes.resize(at + room);
            const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
            int keyLength = ::LCMapStringW(locale, flags, wide.c_str(), -1,
                                           reinterpret_cast<LPWSTR>(&bytes[at]), static_cast<int>(room));
            if (keyLength <= 0) {
                keyLength = ::LCMapStringW(locale, flags, wide.c_str(), -1, nullptr, 0);
                room = static_cast<std::size_t>(std::max(keyLength, 1));
                bytes.resize(at + room);
                if (keyLength <= 0 || !::LCMapStringW(locale, flags, wide.c_str(), -1,
                                                      reinterpret_cast<LPWSTR>(&bytes[at]), keyLength))
                    keyLength = 1, bytes[at] = '\0';
            }
            bytes.resize(at + static_cast<std::size_t>(keyLength)); // the key ends with its NUL
        }
    }
};

} // namespace

std::vector<std::size_t> OrderLikeSortedListBox(const std::vector<const char*>& texts, LCID locale,
                                                UINT codePage, const std::atomic<bool>* stop) {
    // One sort key per text: comparing two keys byte by byte gives the comparison of their texts. Making
    // the keys is most of the work, so a long list shares it with a second core; the helper thread lives
    // only inside this call and touches nothing but its own half.
    const std::size_t count = texts.size();
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    const bool split = count >= 20000 && system.dwNumberOfProcessors > 1;
    std::size_t half = split ? count / 2 : count;
    KeyBlock blocks[2];
    CTaskThread helper;
    const auto secondHalf = [&, from = half] {
        blocks[1].Compute(texts, from, count, locale, codePage, stop);
    };
    if (split && !helper.Start(secondHalf))
        half = count; // no thread to be had: it only costs time
    blocks[0].Compute(texts, 0, half, locale, codePage, stop);
    helper.Wait();
    const auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };
    if (stopped())
        return {};

    std::vector<const char*> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] =
            i < half ? &blocks[0].bytes[blocks[0].start[i]] : &blocks[1].bytes[blocks[1].start[i - half]];
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i)
        order[i] = i;
    SortRowsByKeys(order.data(), count, keys.data(), nullptr, stop);
    if (stopped())
        return {};
    return order;
}

int WidestTextWidth(HDC dc, const std::vector<const char*>& texts, UINT codePage,
                    const std::atomic<bool>* stop) {
    // Every loop here looks at `stop` once per this many texts.
    const auto stopAt = [stop](std::size_t i) {
        return i % 4096 == 0 && stop && stop->load(std::memory_order_relaxed);
    };
    if (codePage != CP_ACP) {
        int widest = 0;
        std::wstring wide;
        for (std::size_t i = 0; i < texts.size() && !stopAt(i); ++i) {
            const char* text = texts[i];
            const int length = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
            wide.resize(static_cast<std::size_t>(std::max(length, 1)));
            ::MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
            SIZE size = {0, 0};
            ::GetTextExtentPoint32W(dc, wide.c_str(), std::max(length - 1, 0), &size);
            widest = std::max<int>(widest, size.cx);
        }
        return widest;
    }
    CPINFO ansi = {};
    INT charWidths[256];
    const bool singleByte =
        ::GetCPInfo(CP_ACP, &ansi) && ansi.MaxCharSize == 1 && ::GetCharWidth32A(dc, 0, 255, charWidths);
    if (!singleByte) {
        int widest = 0;
        for (std::size_t i = 0; i < texts.size() && !stopAt(i); ++i) {
            SIZE size = {0, 0};
            ::GetTextExtentPoint32A(dc, texts[i], static_cast<int>(std::strlen(texts[i])), &size);
            widest = std::max<int>(widest, size.cx);
        }
        return widest;
    }
    // In a single-byte code page a text's width is near the sum of its characters' widths; only the texts
    // near the top are measured exactly, so that overhangs and the like are counted as the list draws them.
    std::vector<int> estimates(texts.size());
    int widestEstimate = 0;
    for (std::size_t i = 0; i < texts.size() && !stopAt(i); ++i) {
        int sum = 0;
        for (const unsigned char* c = reinterpret_cast<const unsigned char*>(texts[i]); *c; ++c)
            sum += charWidths[*c];
        estimates[i] = sum;
        widestEstimate = std::max(widestEstimate, sum);
    }
    const int margin = 16;
    int widest = 0;
    for (std::size_t i = 0; i < texts.size() && !stopAt(i); ++i) {
        if (estimates[i] + margin < widestEstimate)
            continue;
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(dc, texts[i], static_cast<int>(std::strlen(texts[i])), &size);
        widest = std::max<int>(widest, size.cx);
    }
    return widest;
}
