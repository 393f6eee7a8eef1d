#include "PathSets.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Eight bytes as one number that orders as they do, first byte highest.
std::uint64_t BigEndian(const char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return __builtin_bswap64(value);
}

} // namespace

int ComparePathBytes(const std::string& a, const std::string& b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    const char* left = a.data();
    const char* right = b.data();
    std::size_t at = 0;
    for (; at + 8 <= common; at += 8) {
        const std::uint64_t x = BigEndian(left + at), y = BigEndian(right + at);
        if (x != y)
            return x < y ? -1 : 1;
    }
    for (; at < common; ++at) {
        const unsigned char x = static_cast<unsigned char>(left[at]),
                            y = static_cast<unsigned char>(right[at]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

namespace {

// The others a walk takes at a time: enough that the two walks seldom meet over the count of what is left.
constexpr std::ptrdiff_t kClaim = 512;

} // namespace

CRowCount::CRowCount(const std::set<std::string>& files, const std::set<std::string>& others)
    : m_files(files), m_others(others), m_unclaimed(static_cast<std::ptrdiff_t>(others.size())) {
    // Shorter lists are counted when asked: their walk takes a few tens of milliseconds, and a thread
    // costs the process about 2 MB more at its peak under Wine.
    constexpr std::size_t kCountAsideFrom = 200000;
    // The walk needs little stack, and a thread's default stack would add to the call's peak memory.
    constexpr SIZE_T kStack = 64 * 1024;
    if (files.size() + others.size() >= kCountAsideFrom)
        m_hThread = ::CreateThread(nullptr, kStack, &CRowCount::Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION,
                                   nullptr);
}

CRowCount::~CRowCount() {
    if (m_hThread) {
        m_unclaimed.store(0); // nothing more to take
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
    }
}

DWORD WINAPI CRowCount::Run(void* parameter) {
    CRowCount& self = *static_cast<CRowCount*>(parameter);
    self.m_fromFront = self.CountFromFront();
    return 0;
}

std::ptrdiff_t CRowCount::Claim(std::ptrdiff_t wanted) {
    std::ptrdiff_t left = m_unclaimed.load(std::memory_order_relaxed);
    while (left > 0 && !m_unclaimed.compare_exchange_weak(left, left - std::min(wanted, left)))
        ;
    return left > 0 ? std::min(wanted, left) : 0;
}

// The rows among the other paths, walked from one end (`direction` 1 from the front, -1 from the back)
// in claims shared with the walk from the other end: those the caller did not give.
template <typename Walk>
std::size_t CRowCount::CountWalking(Walk given, Walk givenEnd, Walk path, int direction) {
    std::size_t found = 0;
    for (std::ptrdiff_t taken; (taken = Claim(kClaim)) > 0;) {
        for (; taken > 0; --taken, ++path) {
            int order = direction;
            while (given != givenEnd && (order = ComparePathBytes(*given, *path) * direction) < 0)
                ++given;
            found += given == givenEnd || order > 0;
        }
    }
    return found;
}

std::size_t CRowCount::CountFromFront() {
    return CountWalking(m_files.begin(), m_files.end(), m_others.begin(), 1);
}

std::size_t CRowCount::CountFromBack() {
    return CountWalking(m_files.rbegin(), m_files.rend(), m_others.rbegin(), -1);
}

std::size_t CRowCount::Get() {
    if (!m_counted) {
        const std::size_t fromBack = CountFromBack();
        if (m_hThread) {
            ::WaitForSingleObject(m_hThread, INFINITE);
            ::CloseHandle(m_hThread);
            m_hThread = nullptr;
        }
        m_rows = m_files.size() + m_fromFront + fromBack;
        m_counted = true;
    }
    return m_rows;
}
