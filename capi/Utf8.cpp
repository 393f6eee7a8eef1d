#include "Utf8.h"

namespace corvel {

bool IsValidUtf8(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int trail;
        unsigned char low = 0x80, high = 0xBF; // the range of the first trail byte
        if (c >= 0xC2 && c <= 0xDF) {
            trail = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            trail = 2;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            trail = 3;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        ++p;
        // A NUL is below every trail byte's range, so a sequence cut by the end is refused here and
        // nothing is read past it.
        for (int i = 0; i < trail; ++i, ++p) {
            if (*p < (i == 0 ? low : 0x80) || *p > (i == 0 ? high : 0xBF))
                return false;
        }
    }
    return true;
}

} // namespace corvel
