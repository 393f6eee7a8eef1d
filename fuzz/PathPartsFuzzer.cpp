// Every input is split twice, once in a single-byte code page and once with the lead bytes of code page
// 932, and each split is checked: it does not crash or touch memory it should not (the sanitizers); the
// path is refused exactly when one of its parts is longer than 255 characters, and then all four parts
// are empty; otherwise the parts are those the splitting rules give, stay within their limits and join
// back into the path up to its first NUL.
#include "PathParts.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool g_doubleByte = false;

bool IsLeadByte932(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

struct Parts {
    std::string drive, dir, fname, ext;
};

// The rules, stated again on their own: a drive when the second character is ':'; the directory up to
// and including the last separator that is no trail byte; the extension from the last period of what is
// left.
Parts Expected(const std::string& path) {
    Parts parts;
    const std::size_t begin = path.size() >= 2 && path[1] == ':' ? 2 : 0;
    parts.drive = path.substr(0, begin);
    std::size_t dirEnd = begin;
    bool trail = false;
    for (std::size_t i = begin; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (trail)
            trail = false;
        else if (g_doubleByte && IsLeadByte932(c))
            trail = true;
        else if (c == '\\' || c == '/')
            dirEnd = i + 1;
    }
    parts.dir = path.substr(begin, dirEnd - begin);
    const std::string last = path.substr(dirEnd);
    const std::size_t dot = last.rfind('.');
    parts.fname = dot == std::string::npos ? last : last.substr(0, dot);
    parts.ext = dot == std::string::npos ? "" : last.substr(dot);
    return parts;
}

[[noreturn]] void Fail(const char* what, const std::string& path) {
    std::fprintf(stderr, "path parts: %s (%s code page, path of %zu bytes)\n", what,
                 g_doubleByte ? "double-byte" : "single-byte", path.size());
    std::abort();
}

void Check(const std::string& input) {
    const CPathParts parts(input);
    const std::string path = input.substr(0, input.find('\0'));
    const Parts expected = Expected(path);
    const bool fits =
        expected.dir.size() <= 255 && expected.fname.size() <= 255 && expected.ext.size() <= 255;

    if (parts.IsComplete() != fits)
        Fail(fits ? "refused a path whose parts fit" : "accepted a part longer than 255 characters", path);
    if (!fits) {
        if (!parts.GetDrive().empty() || !parts.GetDir().empty() || !parts.GetFName().empty() ||
            !parts.GetExt().empty())
            Fail("a refused path left parts behind", path);
        return;
    }
    if (parts.GetDrive() != expected.drive || parts.GetDir() != expected.dir ||
        parts.GetFName() != expected.fname || parts.GetExt() != expected.ext)
        Fail("parts differ from the rules", path);
    if (parts.GetDrive().size() > 2 || parts.GetDir().size() > 255 || parts.GetFName().size() > 255 ||
        parts.GetExt().size() > 255)
        Fail("a part beyond its limit", path);
    if (parts.GetDrive() + parts.GetDir() + parts.GetFName() + parts.GetExt() != path)
        Fail("the parts do not join into the path", path);
    if (parts.GetNameAndExt() != parts.GetFName() + parts.GetExt() ||
        parts.GetDriveAndDir() != parts.GetDrive() + parts.GetDir())
        Fail("a composition differs from its parts", path);
    if (!parts.GetExt().empty() &&
        (parts.GetExt()[0] != '.' || parts.GetExt().find('.', 1) != std::string::npos))
        Fail("the extension is not one period and what follows it", path);
    if (!parts.GetDrive().empty() && parts.GetDrive()[1] != ':')
        Fail("a drive without its colon", path);
    if (!parts.GetDir().empty() && parts.GetDir().back() != '\\' && parts.GetDir().back() != '/')
        Fail("a directory that does not end with its separator", path);
    // In a double-byte code page a trail byte may be 0x5C; in a single-byte one no separator follows the
    // directory.
    if (!g_doubleByte && (parts.GetFName() + parts.GetExt()).find_first_of("\\/") != std::string::npos)
        Fail("a separator after the directory", path);
}

} // namespace

bool CorvelPathPartsIsLeadByte(unsigned char c) {
    return g_doubleByte && IsLeadByte932(c);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (bool doubleByte : {false, true}) {
        g_doubleByte = doubleByte;
        Check(input);
    }
    return 0;
}
