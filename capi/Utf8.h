// The C interface's check of its UTF-8 texts. No Windows dependency, so that the fuzzer builds it natively.
#ifndef CORVEL_CAPI_UTF8_H
#define CORVEL_CAPI_UTF8_H

namespace corvel {

// Well-formed UTF-8 up to the first NUL: no stray continuation bytes, no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut short.
bool IsValidUtf8(const char* text);

} // namespace corvel

#endif // CORVEL_CAPI_UTF8_H
