#include "HighAddresses.h"

#include "ImportHook.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace high_addresses {

#ifndef _WIN64

int RunAllTestsAbove4GiB() {
    std::printf("high addresses: a 32-bit program has none; the tests run as usual\n");
    return RUN_ALL_TESTS();
}

#else

namespace {

constexpr unsigned long long k4GiB = 1ull << 32;
constexpr ULONG_PTR kGranularity = 64 * 1024;

// Every free region below 4 GiB, reserved and never released: whatever reserves address space later
// (heap segments, thread stacks, large blocks) gets it above.
std::size_t ReserveLowAddressSpace() {
    std::size_t reserved = 0;
    unsigned long long address = kGranularity;
    MEMORY_BASIC_INFORMATION info;
    while (address < k4GiB && ::VirtualQuery(reinterpret_cast<void*>(static_cast<ULONG_PTR>(address)), &info, sizeof info)) {
        const unsigned long long base = reinterpret_cast<ULONG_PTR>(info.BaseAddress);
        const unsigned long long end = base + info.RegionSize;
        if (info.State == MEM_FREE) {
            const unsigned long long from = (base + kGranularity - 1) & ~(kGranularity - 1);
            const unsigned long long to = (end < k4GiB ? end : k4GiB) & ~(kGranularity - 1);
            if (to > from && ::VirtualAlloc(reinterpret_cast<void*>(static_cast<ULONG_PTR>(from)), to - from,
                                            MEM_RESERVE, PAGE_NOACCESS))
                reserved += to - from;
        }
        if (end <= address)
            break;
        address = end;
    }
    return reserved;
}

// The heaps keep serving blocks from segments they reserved below 4 GiB before; blocks of mixed sizes are
// taken (and kept) until a long run of them comes from above.
template <typename Allocate> std::size_t Drain(Allocate allocate) {
    static const std::size_t kSizes[] = {8, 16, 24, 40, 64, 100, 200, 500, 1000, 2000, 4000, 8000, 16000, 60000};
    constexpr int kHighRun = 512;
    std::size_t taken = 0;
    int highInARow = 0;
    for (std::size_t i = 0; i < 8000000 && highInARow < kHighRun; ++i) {
        void* block = allocate(kSizes[i % (sizeof kSizes / sizeof kSizes[0])]);
        if (!block)
            break;
        ++taken;
        highInARow = reinterpret_cast<ULONG_PTR>(block) >= k4GiB ? highInARow + 1 : 0;
    }
    return taken;
}

// ---- What the library gets and hands to its windows ---------------------------------------------------

std::atomic<unsigned long> g_blocks{0}, g_lowBlocks{0}, g_dialogs{0}, g_lowDialogs{0};
std::atomic<ULONG_PTR> g_lowestBlock{~ULONG_PTR(0)}, g_lowestDialog{~ULONG_PTR(0)};

void Record(const void* pointer, std::atomic<unsigned long>& count, std::atomic<unsigned long>& low,
            std::atomic<ULONG_PTR>& lowest) {
    if (!pointer)
        return;
    const ULONG_PTR address = reinterpret_cast<ULONG_PTR>(pointer);
    ++count;
    if (address < k4GiB)
        ++low;
    ULONG_PTR seen = lowest.load();
    while (address < seen && !lowest.compare_exchange_weak(seen, address)) {
    }
}

using Malloc = void* (*)(std::size_t);
using Calloc = void* (*)(std::size_t, std::size_t);
using Realloc = void* (*)(void*, std::size_t);
Malloc g_malloc;
Calloc g_calloc;
Realloc g_realloc;

void* Observed(void* block) {
    Record(block, g_blocks, g_lowBlocks, g_lowestBlock);
    return block;
}
void* ObservedMalloc(std::size_t size) { return Observed(g_malloc(size)); }
void* ObservedCalloc(std::size_t count, std::size_t size) { return Observed(g_calloc(count, size)); }
void* ObservedRealloc(void* block, std::size_t size) { return Observed(g_realloc(block, size)); }

// The init parameter of each of the library's dialogs is the dialog object the framework attaches.
LRESULT CALLBACK WatchDialogs(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_INITDIALOG &&
        reinterpret_cast<HMODULE>(::GetWindowLongPtrA(message->hwnd, GWLP_HINSTANCE)) == hook::LibraryUnderTest())
        Record(reinterpret_cast<const void*>(message->lParam), g_dialogs, g_lowDialogs, g_lowestDialog);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Run {
    int result = 1;
    ULONG_PTR stack = 0;
};

DWORD WINAPI RunTests(void* parameter) {
    auto* run = static_cast<Run*>(parameter);
    run->stack = reinterpret_cast<ULONG_PTR>(&run);
    HHOOK watch = ::SetWindowsHookExA(WH_CALLWNDPROC, &WatchDialogs, nullptr, ::GetCurrentThreadId());
    run->result = RUN_ALL_TESTS();
    if (watch)
        ::UnhookWindowsHookEx(watch);
    return 0;
}

} // namespace

int RunAllTestsAbove4GiB() {
    const std::size_t reserved = ReserveLowAddressSpace();
    const std::size_t mallocBlocks = Drain([](std::size_t size) { return std::malloc(size); });
    const std::size_t heapBlocks = Drain([](std::size_t size) { return ::HeapAlloc(::GetProcessHeap(), 0, size); });
    std::printf("high addresses: reserved %zu MiB below 4 GiB, drained %zu C runtime and %zu process heap blocks\n",
                reserved >> 20, mallocBlocks, heapBlocks);

    std::vector<std::unique_ptr<hook::ImportHook>> hooks;
    const auto observe = [&hooks](const char* dll, const char* function, void* replacement) {
        hooks.push_back(std::make_unique<hook::ImportHook>(dll, function, replacement));
        return hooks.back()->Original();
    };
    // corvel.dll carries its C++ runtime: operator new, too, allocates through these imports.
    g_malloc = reinterpret_cast<Malloc>(observe("msvcrt.dll", "malloc", reinterpret_cast<void*>(&ObservedMalloc)));
    g_calloc = reinterpret_cast<Calloc>(observe("msvcrt.dll", "calloc", reinterpret_cast<void*>(&ObservedCalloc)));
    g_realloc =
        reinterpret_cast<Realloc>(observe("msvcrt.dll", "realloc", reinterpret_cast<void*>(&ObservedRealloc)));
    for (const auto& installed : hooks)
        if (!installed->Installed()) {
            std::printf("high addresses: corvel.dll's allocation imports were not found\n");
            return 1;
        }

    Run run;
    HANDLE thread = ::CreateThread(nullptr, 8 << 20, &RunTests, &run, 0, nullptr);
    if (!thread) {
        std::printf("high addresses: no test thread\n");
        return 1;
    }
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    hooks.clear();

    std::printf("high addresses: test thread's stack at %#llx; corvel.dll took %lu heap blocks (%lu below 4 GiB, "
                "lowest %#llx); %lu dialogs got their object (%lu below 4 GiB, lowest %#llx)\n",
                static_cast<unsigned long long>(run.stack), g_blocks.load(), g_lowBlocks.load(),
                static_cast<unsigned long long>(g_lowestBlock.load()), g_dialogs.load(), g_lowDialogs.load(),
                static_cast<unsigned long long>(g_lowestDialog.load()));
    const bool high = run.stack >= k4GiB && g_blocks > 0 && g_lowBlocks == 0 && g_dialogs > 0 && g_lowDialogs == 0;
    if (!high)
        std::printf("high addresses: FAILED: the library worked with addresses below 4 GiB, or with none\n");
    return high ? run.result : 1;
}

#endif

} // namespace high_addresses
