#include "PathParts.h"

#ifdef _WIN32
#include <mbctype.h>
#elif defined(CORVEL_PATH_PARTS_LEAD_BYTES)
// A native build without that runtime (the fuzzer) brings its own table.
bool CorvelPathPartsIsLeadByte(unsigned char c);
#endif

namespace {

// The runtime splits into buffers of 3, 256, 256 and 256 characters; the drive cannot outgrow its two.
constexpr std::string::size_type kMaxPart = 255;

// A byte after a lead byte is the second half of a double-byte character, so a 0x5C there is no
// separator. The runtime asks its multibyte code page (_setmbcp, the ANSI one by default); we ask the
// same table so the two always agree. Without that runtime no byte leads, as in a single-byte code page.
bool IsLeadByte(unsigned char c) {
#ifdef _WIN32
    return _ismbblead(c) != 0;
#elif defined(CORVEL_PATH_PARTS_LEAD_BYTES)
    return CorvelPathPartsIsLeadByte(c);
#else
    (void)c;
    return false;
#endif
}

} // namespace

namespace {

// The length of bytes [begin, end) in the encoding's units.
std::string::size_type PartLength(const std::string& path, std::string::size_type begin,
                                  std::string::size_type end, CPathParts::Encoding encoding) {
    if (encoding == CPathParts::kAnsi)
        return end - begin;
    std::string::size_type units = 0;
    for (std::string::size_type i = begin; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if ((c & 0xC0) != 0x80)
            units += c >= 0xF0 ? 2 : 1; // four bytes make a surrogate pair
    }
    return units;
}

} // namespace

CPathParts::CPathParts(const std::string& path, Encoding encoding) {
    Split(path, encoding);
}

void CPathParts::Split(std::string path, Encoding encoding) {
    // The runtime sees a C string: whatever follows an embedded NUL is not part of the path.
    const std::string::size_type nul = path.find('\0');
    if (nul != std::string::npos)
        path.erase(nul);

    std::string::size_type begin = 0;
    if (path.size() >= 2 && path[1] == ':')
        begin = 2;

    // The last separator closes the directory.
    std::string::size_type dirEnd = begin;
    for (std::string::size_type i = begin; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (encoding == kAnsi && IsLeadByte(c))
            ++i; // A lead byte as the last byte simply ends the scan.
        else if (c == '\\' || c == '/')
            dirEnd = i + 1;
    }

    // The last period of the final component starts the extension. The runtime does not look at lead
    // bytes here; '.' is no trail byte in the usual double-byte code pages anyway.
    std::string::size_type extBegin = path.rfind('.');
    if (extBegin == std::string::npos || extBegin < dirEnd)
        extBegin = path.size();

    // Refuse rather than cut: a shortened directory would send the file dialog to a wrong folder.
    if (PartLength(path, begin, dirEnd, encoding) > kMaxPart ||
        PartLength(path, dirEnd, extBegin, encoding) > kMaxPart ||
        PartLength(path, extBegin, path.size(), encoding) > kMaxPart) {
        m_complete = false;
        return;
    }
    m_drive = path.substr(0, begin);
    m_dir = path.substr(begin, dirEnd - begin);
    m_fname = path.substr(dirEnd, extBegin - dirEnd);
    m_ext = path.substr(extBegin);
    m_complete = true;
}
