#include "Commands.h"
#include "PathParts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <mbctype.h>
#include <stdlib.h>
#endif

namespace {

struct Expected {
    std::string path, drive, dir, fname, ext;
};

using cmd::Describe;

void ExpectSplit(const Expected& e) {
    SCOPED_TRACE("path " + Describe(e.path));
    const CPathParts parts(e.path);
    EXPECT_TRUE(parts.IsComplete());
    EXPECT_EQ(parts.GetDrive(), e.drive);
    EXPECT_EQ(parts.GetDir(), e.dir);
    EXPECT_EQ(parts.GetFName(), e.fname);
    EXPECT_EQ(parts.GetExt(), e.ext);
    EXPECT_EQ(parts.GetNameAndExt(), e.fname + e.ext);
    EXPECT_EQ(parts.GetDriveAndDir(), e.drive + e.dir);
}

void ExpectRefused(const std::string& path) {
    SCOPED_TRACE("path of " + std::to_string(path.size()) + " characters");
    const CPathParts parts(path);
    EXPECT_FALSE(parts.IsComplete());
    EXPECT_EQ(parts.GetDriveAndDir(), "");
    EXPECT_EQ(parts.GetNameAndExt(), "");
}

} // namespace

TEST(PathParts, SplitsWhatBrowseIsGivenByTheSplittingRules) {
    const Expected cases[] = {
        {"C:\\work\\src\\main.c", "C:", "\\work\\src\\", "main", ".c"},
        {"", "", "", "", ""},
        {"C:\\work\\src\\", "C:", "\\work\\src\\", "", ""},
        {"main.c", "", "", "main", ".c"},
        {"C:main.c", "C:", "", "main", ".c"},
        {"\\\\server\\share\\dir\\a.b.c", "", "\\\\server\\share\\dir\\", "a.b", ".c"},
        {"dir.d/name", "", "dir.d/", "name", ""},
        {"C:\\home\\.profile", "C:", "\\home\\", "", ".profile"},
        {"d:/x\\y/z.TXT", "d:", "/x\\y/", "z", ".TXT"},
        // Odd ones, by the same rules.
        {"C:", "C:", "", "", ""},
        {"C", "", "", "C", ""},
        {":", "", "", ":", ""},
        {"::x", "::", "", "x", ""},
        {"1:\\a", "1:", "\\", "a", ""},
        {"ab:c", "", "", "ab:c", ""},
        {"\\", "", "\\", "", ""},
        {"//", "", "//", "", ""},
        {"C:\\", "C:", "\\", "", ""},
        {".", "", "", "", "."},
        {"..", "", "", ".", "."},
        {"a.", "", "", "a", "."},
        {"a..b", "", "", "a.", ".b"},
        {"C:\\x.y\\..", "C:", "\\x.y\\", ".", "."},
        {"\\\\server\\share", "", "\\\\server\\", "share", ""},
        {"a b\\c d.e f", "", "a b\\", "c d", ".e f"},
        // The runtime sees a C string: an embedded NUL ends the path.
        {std::string("C:\\a\\b.c\0\\d.e", 13), "C:", "\\a\\", "b", ".c"},
    };
    for (const Expected& e : cases)
        ExpectSplit(e);

    const CPathParts slash("C:/src/main.c");
    EXPECT_EQ(slash.GetDriveAndDir(), "C:/src/");
    EXPECT_EQ(CPathParts("C:main.c").GetDriveAndDir(), "C:");
    EXPECT_EQ(CPathParts("C:\\home\\.profile").GetNameAndExt(), ".profile");
}

TEST(PathParts, RefusesPartsLongerThan255Characters) {
    const std::string dir254(254, 'd'), name255(255, 'n'), ext254(254, 'e');
    // A directory's limit includes its closing separator, an extension's its period; the drive is apart.
    ExpectSplit({"C:" + dir254 + "\\x.y", "C:", dir254 + "\\", "x", ".y"});
    ExpectSplit({"C:\\d\\" + name255 + ".c", "C:", "\\d\\", name255, ".c"});
    ExpectSplit({"C:\\d\\n." + ext254, "C:", "\\d\\", "n", "." + ext254});
    ExpectSplit({dir254 + "/" + name255 + "." + ext254, "", dir254 + "/", name255, "." + ext254});

    for (std::size_t length : {256u, 5000u}) {
        const std::string part(length - 1, 'x');
        ExpectRefused("C:" + part + "\\main.c");
        ExpectRefused("C:\\d\\" + part + "x.c");
        ExpectRefused("C:\\d\\main." + part);
        ExpectRefused(part + "/" + part + "." + part);
    }
}

#ifdef _WIN32

namespace {

// Paths that probe every rule: hand-picked ones, every short string over a small alphabet, and random
// joins of tokens (drives, both separators, periods, double-byte pairs whose second byte is '\',
// components around the 255-character limit).
std::vector<std::string> DifferentialPaths() {
    std::vector<std::string> paths = {
        "C:\\work\\src\\main.c",
        "",
        "C:\\work\\src\\",
        "main.c",
        "C:main.c",
        "\\\\server\\share\\dir\\a.b.c",
        "dir.d/name",
        "C:\\home\\.profile",
        "\\\\?\\C:\\x.y",
        "C:\\a\x95\\b.c",
        "\x81\\\x81\\",
        "\x81",
        "C:\x81",
        "\x81:\\x",
        "C:\\\x81\x81\\x.y",
    };

    const std::string alphabet = "a.:\\/\x81";
    std::vector<std::string> shorter = {""};
    for (int length = 1; length <= 4; ++length) {
        std::vector<std::string> longer;
        for (const std::string& prefix : shorter)
            for (char c : alphabet)
                longer.push_back(prefix + c);
        paths.insert(paths.end(), longer.begin(), longer.end());
        shorter.swap(longer);
    }

    const std::vector<std::string> tokens = {
        "C:",     "z:",     ":",      "\\",       "/",
        "\\\\",   "//",     ".",      "..",       "dir",
        "a.b",    "name",   ".ext",   " ",        "\\\\server\\share\\",
        "\x81\\", "\x9F\\", "\xE0\\", "\xFC\\",   "\x95\x5C",
        "\x80\\", "\xA0\\", "\xDF\\", "\xFD\\",   "\x81",
        "\xFC",   "\x81.",  "\x81/",  "\x81\x81",
    };
    std::mt19937 random(20240611);
    for (int i = 0; i < 3000; ++i) {
        std::string path;
        const int count = std::uniform_int_distribution<int>(0, 12)(random);
        for (int t = 0; t < count; ++t) {
            if (std::uniform_int_distribution<int>(0, 15)(random) == 0)
                path += std::string(std::uniform_int_distribution<std::size_t>(250, 260)(random), 'x');
            else
                path += tokens[std::uniform_int_distribution<std::size_t>(0, tokens.size() - 1)(random)];
        }
        paths.push_back(path);
    }
    return paths;
}

// Runs every path through the runtime's _splitpath_s, with the buffers the library's parts stand for,
// and requires the same answer: the same four parts, or a refusal with all parts empty.
void ExpectSameAsRuntime(const std::vector<std::string>& paths) {
    int mismatches = 0;
    for (const std::string& path : paths) {
        // The runtime steps over the NUL after a final lead byte; a second NUL stops it there.
        std::vector<char> input(path.begin(), path.end());
        input.insert(input.end(), 2, '\0');
        char drive[3], dir[256], fname[256], ext[256];
        const errno_t rc = _splitpath_s(input.data(), drive, sizeof drive, dir, sizeof dir, fname,
                                        sizeof fname, ext, sizeof ext);
        const CPathParts parts(path);
        const bool same = parts.IsComplete() == (rc == 0) && parts.GetDrive() == drive &&
                          parts.GetDir() == dir && parts.GetFName() == fname && parts.GetExt() == ext;
        if (!same && ++mismatches <= 10) {
            ADD_FAILURE() << "path \"" << Describe(path) << "\": runtime rc " << rc << " [" << Describe(drive)
                          << "][" << Describe(dir) << "][" << Describe(fname) << "][" << Describe(ext)
                          << "], CPathParts complete " << parts.IsComplete() << " ["
                          << Describe(parts.GetDrive()) << "][" << Describe(parts.GetDir()) << "]["
                          << Describe(parts.GetFName()) << "][" << Describe(parts.GetExt()) << "]";
        }
        if (same && parts.IsComplete()) {
            EXPECT_EQ(parts.GetDriveAndDir() + parts.GetNameAndExt(), path.substr(0, path.find('\0')));
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << paths.size() << " paths";
}

// Sets the runtime's multibyte code page for one test and puts the previous one back.
class MultibyteCodePage {
public:
    explicit MultibyteCodePage(int codePage) : m_previous(_getmbcp()), m_set(_setmbcp(codePage) == 0) {}
    ~MultibyteCodePage() { _setmbcp(m_previous); }
    bool IsSet() const { return m_set; }

private:
    int m_previous;
    bool m_set;
};

} // namespace

TEST(PathPartsRuntime, AgreesWithSplitpath) {
    const std::vector<std::string> paths = DifferentialPaths();
    ASSERT_GE(paths.size(), 4000u);
    {
        SCOPED_TRACE("process code page " + std::to_string(_getmbcp()));
        ExpectSameAsRuntime(paths);
    }
    for (int codePage : {1252, 932}) {
        SCOPED_TRACE("code page " + std::to_string(codePage));
        const MultibyteCodePage scope(codePage);
        ASSERT_TRUE(scope.IsSet());
        ExpectSameAsRuntime(paths);
    }
}

TEST(PathPartsRuntime, TrailByteBackslashFollowsTheCodePage) {
    const std::string path = "C:\\a\x95\\b.c";
    {
        const MultibyteCodePage scope(1252);
        ASSERT_TRUE(scope.IsSet());
        ExpectSplit({path, "C:", "\\a\x95\\", "b", ".c"});
    }
    {
        const MultibyteCodePage scope(932);
        ASSERT_TRUE(scope.IsSet());
        ExpectSplit({path, "C:", "\\", "a\x95\\b", ".c"});
        ExpectSplit({"\x81\\\x81\\/x", "", "\x81\\\x81\\/", "x", ""});
        ExpectSplit({"C:\\\xA0\\x", "C:", "\\\xA0\\", "x", ""});
        ExpectSplit({"d\\\x81", "", "d\\", "\x81", ""});
    }
}

#endif // _WIN32
