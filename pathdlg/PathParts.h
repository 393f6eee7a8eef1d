// A path split into drive, directory, base name and extension, by the runtime's _splitpath rules.
#ifndef CORVEL_PATH_PARTS_H
#define CORVEL_PATH_PARTS_H

#include <string>

// Filled once by the constructor, never changed. Portable C++ on purpose: no Windows headers.
class CPathParts {
public:
    // How the path's bytes encode characters: in the ANSI code page (lead bytes as the runtime knows
    // them; parts measured in bytes, as the runtime measures them) or in UTF-8 (no byte of a character
    // is a separator; parts measured in UTF-16 units, as the platform's file names are).
    enum Encoding { kAnsi, kUtf8 };

    explicit CPathParts(const std::string& path, Encoding encoding = kAnsi);

    std::string GetDrive() const { return m_drive; }
    std::string GetDir() const { return m_dir; }
    std::string GetFName() const { return m_fname; }
    std::string GetExt() const { return m_ext; }
    // The final component: base name and extension, nothing added between them.
    std::string GetNameAndExt() const { return m_fname + m_ext; }
    // Everything before the final component: drive and directory, nothing added between them.
    std::string GetDriveAndDir() const { return m_drive + m_dir; }

    // False when the path was refused because its directory, base name or extension is longer than
    // 255 characters (bytes in the ANSI code page, UTF-16 units in UTF-8); all four parts are then empty. An
    // empty path is complete.
    bool IsComplete() const { return m_complete; }

private:
    void Split(std::string path, Encoding encoding);

    std::string m_drive, m_dir, m_fname, m_ext;
    bool m_complete = false;
};

#endif // CORVEL_PATH_PARTS_H
