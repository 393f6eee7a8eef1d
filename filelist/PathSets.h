// The caller's two sets of paths walked together: the files to show checked, and the candidates to show
// unchecked, of which only those that are not among the files count.
#ifndef CORVEL_PATH_SETS_H
#define CORVEL_PATH_SETS_H

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <set>
#include <string>

// The order std::string gives two paths (their bytes as unsigned characters, then their lengths), as a
// negative number, zero or a positive one, found eight bytes at a time. A million paths that share long
// prefixes are walked several times faster so than through the C runtime's byte-wise memcmp.
int ComparePathBytes(const std::string& a, const std::string& b);

// Calls `each` with every path of `others` that `files` does not hold, in order, along one walk through
// both; stops early, answering false, when `each` returns false.
template <class Each>
bool ForEachOtherNotGiven(const std::set<std::string>& files, const std::set<std::string>& others,
                          Each each) {
    auto given = files.begin();
    for (const std::string& path : others) {
        int order = 1;
        while (given != files.end() && (order = ComparePathBytes(*given, path)) < 0)
            ++given;
        if ((given == files.end() || order > 0) && !each(path))
            return false;
    }
    return true;
}

// The number of rows the two sets make, worked out while the caller goes on (a long list's dialog is
// being made meanwhile): the walk through a million paths spread over the heap takes a few hundred
// milliseconds, most of it waiting for memory. For long lists a thread of its own walks from the front as
// soon as the count is made; the caller, once it asks, walks from the back until the two meet.
class CRowCount {
public:
    CRowCount(const std::set<std::string>& files, const std::set<std::string>& others);
    CRowCount(const CRowCount&) = delete;
    CRowCount& operator=(const CRowCount&) = delete;
    ~CRowCount();

    // The files and the others not among them.
    std::size_t Get();
    // Whether a thread of its own is counting meanwhile.
    bool CountsAside() const { return m_hThread != nullptr; }

private:
    static DWORD WINAPI Run(void* parameter);
    // Takes up to `wanted` of the others that neither walk has taken yet: how many it took.
    std::ptrdiff_t Claim(std::ptrdiff_t wanted);
    std::size_t CountFromFront();
    std::size_t CountFromBack();
    template <typename Walk> std::size_t CountWalking(Walk given, Walk givenEnd, Walk path, int direction);

    const std::set<std::string>& m_files;
    const std::set<std::string>& m_others;
    std::atomic<std::ptrdiff_t> m_unclaimed;
    std::size_t m_fromFront = 0;
    std::size_t m_rows = 0;
    bool m_counted = false;
    HANDLE m_hThread = nullptr;
};

#endif // CORVEL_PATH_SETS_H
