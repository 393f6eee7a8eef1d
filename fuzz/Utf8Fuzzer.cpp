// The C interface's UTF-8 check against a reference written here from the definition of well-formed
// UTF-8: the byte ranges of each sequence (Table 3-7 of the Unicode standard). A text the reference
// accepts must also decode, sequence by sequence, to scalar values that encode back to the same bytes;
// the check must agree with the reference on every input. The first byte picks how the rest is read: as
// raw bytes, or as code points (any value up to 0x1FFFFF, so surrogates and values above U+10FFFF too)
// encoded in the generic way, one byte of it then replaced, so that long texts of mostly valid
// sequences come up as often as noise.
#include "Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Range {
    uint8_t low, high;
};

// One row per well-formed byte sequence shape: the first byte's range, then each following byte's.
struct Shape {
    Range bytes[4];
    int length;
};

constexpr Shape kShapes[] = {
    {{{0x00, 0x7F}}, 1},
    {{{0xC2, 0xDF}, {0x80, 0xBF}}, 2},
    {{{0xE0, 0xE0}, {0xA0, 0xBF}, {0x80, 0xBF}}, 3},
    {{{0xE1, 0xEC}, {0x80, 0xBF}, {0x80, 0xBF}}, 3},
    {{{0xED, 0xED}, {0x80, 0x9F}, {0x80, 0xBF}}, 3},
    {{{0xEE, 0xEF}, {0x80, 0xBF}, {0x80, 0xBF}}, 3},
    {{{0xF0, 0xF0}, {0x90, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
    {{{0xF1, 0xF3}, {0x80, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
    {{{0xF4, 0xF4}, {0x80, 0x8F}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
};

bool In(uint8_t b, Range r) {
    return b >= r.low && b <= r.high;
}

// The length of the well-formed sequence at `p` (of `left` bytes), 0 when there is none.
int SequenceAt(const uint8_t* p, size_t left) {
    for (const Shape& shape : kShapes) {
        if (!In(p[0], shape.bytes[0]))
            continue;
        if (left < static_cast<size_t>(shape.length))
            return 0;
        for (int i = 1; i < shape.length; ++i)
            if (!In(p[i], shape.bytes[i]))
                return 0;
        return shape.length;
    }
    return 0;
}

// The scalar value of a sequence the table accepted, from its bits.
uint32_t Decode(const uint8_t* p, int length) {
    static const uint8_t kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    uint32_t value = p[0] & kLeadMask[length];
    for (int i = 1; i < length; ++i)
        value = value << 6 | (p[i] & 0x3F);
    return value;
}

// The generic encoding of any value up to 0x1FFFFF, surrogates included.
void Encode(uint32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | value >> 6);
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else if (value < 0x10000) {
        out += static_cast<char>(0xE0 | value >> 12);
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | value >> 18);
        out += static_cast<char>(0x80 | (value >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (value >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// Well-formed by the table, the text up to its first NUL (the C interface's strings end there). Every
// accepted sequence must be a scalar value whose shortest encoding is the sequence itself.
bool Reference(const uint8_t* text, size_t size) {
    const size_t end = std::find(text, text + size, 0) - text;
    for (size_t at = 0; at < end;) {
        const int length = SequenceAt(text + at, end - at);
        if (!length)
            return false;
        const uint32_t value = Decode(text + at, length);
        std::string again;
        Encode(value, again);
        if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ||
            again != std::string(reinterpret_cast<const char*>(text + at), length)) {
            std::fprintf(stderr, "reference: table accepted U+%X at %zu badly\n", value, at);
            std::abort();
        }
        at += length;
    }
    return true;
}

std::string Shaped(const uint8_t* data, size_t size) {
    if (size == 0 || data[0] % 2 == 0)
        return std::string(reinterpret_cast<const char*>(data + (size ? 1 : 0)), size ? size - 1 : 0);
    // Code points, three bytes each; the last two input bytes (when the rest is no whole code point)
    // replace one byte of the text.
    std::string text;
    size_t at = 1;
    for (; at + 3 <= size; at += 3)
        Encode((uint32_t(data[at]) << 16 | uint32_t(data[at + 1]) << 8 | data[at + 2]) & 0x1FFFFF, text);
    if (at + 2 <= size && !text.empty())
        text[data[at] % text.size()] = static_cast<char>(data[at + 1]);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = Shaped(data, size);
    // A block of exactly the text and its NUL, so that a read past the end is caught.
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    const bool expected = Reference(reinterpret_cast<const uint8_t*>(copy.get()), text.size());
    if (corvel::IsValidUtf8(copy.get()) != expected) {
        std::fprintf(stderr, "utf8: the check says %s, the reference %s, for %zu bytes:",
                     expected ? "invalid" : "valid", expected ? "valid" : "invalid", text.size());
        for (unsigned char c : text)
            std::fprintf(stderr, " %02X", c);
        std::fprintf(stderr, "\n");
        std::abort();
    }
    return 0;
}
