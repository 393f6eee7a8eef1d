// Fuzzes the path splitter with arbitrary bytes: it must never read or write out of bounds (the
// sanitizers watch), and what it returns must hold together.
#include "PathParts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

bool HasSeparator(const std::string& text) { return text.find_first_of("\\/") != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path(reinterpret_cast<const char*>(data), size);
    const CPathParts parts(path);
    const std::string text = path.substr(0, std::strlen(path.c_str())); // the splitter sees a C string

    const std::string drive = parts.GetDrive(), dir = parts.GetDir(), fname = parts.GetFName(),
                      ext = parts.GetExt();
    Require(parts.GetNameAndExt() == fname + ext);
    Require(parts.GetDriveAndDir() == drive + dir);
    if (!parts.IsComplete()) {
        // Refused: nothing at all, and only a path with a part over 255 characters is refused.
        Require(drive.empty() && dir.empty() && fname.empty() && ext.empty());
        Require(text.size() > 255);
        return 0;
    }
    Require(drive + dir + fname + ext == text);
    Require(drive.size() <= 2 && dir.size() <= 255 && fname.size() <= 255 && ext.size() <= 255);
    Require(drive.empty() || (drive.size() == 2 && drive[1] == ':'));
    Require(dir.empty() || dir.back() == '\\' || dir.back() == '/');
    Require(ext.empty() || (ext[0] == '.' && ext.find('.', 1) == std::string::npos));
    Require(!HasSeparator(fname) && !HasSeparator(ext));
    return 0;
}
