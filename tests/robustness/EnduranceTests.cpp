// A thousand calls of each export in one process (CORVEL_SOAK_CALLS=N makes it N, and N for each C
// function too: the everyday tier's short soak), closed in turn by OK, Cancel and Escape the moment the
// dialog is up. Every call must give its answer, and afterwards the C runtime heap, the committed memory,
// the thread's windows and the device contexts and GDI objects that corvel.dll takes must be back where
// they started. The parent is a real host window, so every call also makes a temporary window wrapper:
// were those kept, the heap would grow by at least a block a call. The figures are printed.
#include "CCalls.h"
#include "Commands.h"
#include "UiDriver.h"
#include "FakeProvider.h"
#include "ImportHook.h"
#include "Meters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace robust {
namespace {

using namespace cmd;
using namespace ui;

// The calls a soak makes: `full` unless CORVEL_SOAK_CALLS asks for fewer. A short soak needs more calls than
// the allowances below have blocks, so that a block lost a call still fails it.
int SoakCalls(int full) {
    const char* asked = std::getenv("CORVEL_SOAK_CALLS");
    const int calls = asked ? std::atoi(asked) : 0;
    return calls > 0 && calls < full ? calls : full;
}

const int kCalls = SoakCalls(1000);
// First calls fill caches that stay (Wine's window classes and fonts, the runtime's locale tables); the
// measurement starts after them.
constexpr int kWarmUpCalls = 9;

// The same template under a dialog procedure that does nothing: what a dialog costs Wine alone on this
// machine, against which the library's own share of each call can be read.
const int kBaselineDialogs = std::min(50, kCalls / 4);

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Measured noise, with nothing of the library's running between two measurements and across runs of
// 1,000 calls of every export: 0 bytes of heap and 0 bytes of committed memory. The allowances are kept
// small, so that one block lost every tenth call (100 blocks) or 256 bytes lost a call would fail.
constexpr long long kHeapBlocksAllowed = 16;
constexpr long long kHeapBytesAllowed = 4 * 1024;
constexpr long long kCommittedAllowed = 256 * 1024;

// Heap, committed memory and windows back where they started; every DC given back as it was lent, at most
// one at a time, and no GDI object left.
void ExpectNothingKept(const Usage& before, const Usage& after, const GdiLedger& ledger,
                       const GdiLedger::Counts& gdi) {
    EXPECT_LE(after.heapBlocks - before.heapBlocks, kHeapBlocksAllowed);
    EXPECT_LE(after.heapBytes - before.heapBytes, kHeapBytesAllowed);
    EXPECT_LE(after.committed - before.committed, kCommittedAllowed);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(ledger.OutstandingDcs(), 0);
    EXPECT_EQ(ledger.OutstandingObjects(), 0);
    EXPECT_EQ(gdi.dcsGivenBackChanged, 0) << "a borrowed DC went back with another font or brush selected";
    EXPECT_EQ(gdi.unknownGiveBacks, 0);
    EXPECT_EQ(gdi.tableFull, 0);
    EXPECT_LE(gdi.mostDcsAtOnce, 1);
}

class Endurance : public ::testing::TestWithParam<Command> {};

TEST_P(Endurance, AThousandCallsGiveBackEveryByteWindowAndDeviceContext) {
    const Command command = GetParam();
    HostWindow host;
    GdiLedger ledger;
    FakeProvider provider;
    const Arguments typical = TypicalArguments();
    const Arguments unchanged = typical.WithFlagsReduced(command);

    Close how = Close::Ok;
    WhenShown closer([&how](ui::Window dialog) { PostClose(dialog, how); });
    int wrongAnswers = 0, callsSeen = 0;
    const auto call = [&](int index) {
        how = static_cast<Close>(index % 3);
        Arguments arguments = typical;
        const int result = Invoke(command, arguments, provider, host.hwnd());
        // Nothing is edited, so OK and Cancel alike leave the arguments as they were, flags reduced.
        if (result != (how == Close::Ok ? 1 : 0) || arguments != unchanged)
            ++wrongAnswers;
        ++callsSeen;
    };

    for (int i = 0; i < kWarmUpCalls; ++i)
        call(i);

    DWORD started = ::GetTickCount();
    for (int i = 0; i < kBaselineDialogs; ++i) {
        how = static_cast<Close>(i % 3);
        ::DialogBoxParamA(hook::LibraryUnderTest(), MAKEINTRESOURCEA(TemplateId(command)), host.hwnd(),
                          &PlainDialogProc, 0);
    }
    const double plainDialog = (::GetTickCount() - started) / double(kBaselineDialogs);
    const int shownBefore = closer.DialogsShown();

    const Usage before = MeasureUsage();
    const GdiLedger::Counts gdiBefore = ledger.Now();
    started = ::GetTickCount();
    for (int i = 0; i < kCalls; ++i)
        call(i);
    const DWORD elapsed = ::GetTickCount() - started;
    const Usage after = MeasureUsage();
    const GdiLedger::Counts gdi = ledger.Now();

    std::printf(
        "[ figures  ] %-10s %d calls (OK, Cancel, Escape in turn) in %lu ms, %.1f ms a call; its template "
        "under a do-nothing dialog procedure: %.1f ms\n"
        "[ figures  ]            heap %lld B in %lld blocks -> %+lld B, %+lld blocks; committed %.2f MB "
        "-> %+lld B; windows %lld -> %lld\n"
        "[ figures  ]            DCs taken %ld, given back %ld, most at once %ld, given back changed "
        "%ld; GDI objects made %ld, deleted %ld\n",
        Name(command), kCalls, static_cast<unsigned long>(elapsed), elapsed / double(kCalls), plainDialog,
        before.heapBytes, before.heapBlocks, after.heapBytes - before.heapBytes,
        after.heapBlocks - before.heapBlocks, before.committed / 1048576.0,
        after.committed - before.committed, before.windows, after.windows,
        gdi.dcsObtained - gdiBefore.dcsObtained, gdi.dcsGivenBack - gdiBefore.dcsGivenBack, gdi.mostDcsAtOnce,
        gdi.dcsGivenBackChanged, gdi.objectsCreated - gdiBefore.objectsCreated,
        gdi.objectsDeleted - gdiBefore.objectsDeleted);
    RecordProperty("milliseconds", static_cast<int>(elapsed));
    RecordProperty("heapBlocksGained", static_cast<int>(after.heapBlocks - before.heapBlocks));

    EXPECT_EQ(callsSeen, kWarmUpCalls + kCalls);
    EXPECT_EQ(closer.DialogsShown() - shownBefore, kCalls) << "every call shows its dialog once";
    EXPECT_EQ(wrongAnswers, 0) << "calls with a wrong result or changed arguments";

    ExpectNothingKept(before, after, ledger, gdi);
    if (HasFileList(command)) { // the list is measured on a borrowed DC: the ledger must have seen each one
        EXPECT_GE(gdi.dcsObtained - gdiBefore.dcsObtained, kCalls);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, Endurance, ::testing::ValuesIn(kAllCommands), ParamName());

// The C functions the same way, with Unicode paths and every result given back with corvel_release: fewer
// calls, enough that a block lost a call (120 blocks) is far above the allowance.
const int kCCalls = SoakCalls(120);

class CEndurance : public ::testing::TestWithParam<size_t> {};

TEST_P(CEndurance, CallsGiveBackEveryByteWindowAndDeviceContext) {
    const Function& function = CFunctions()[GetParam()];
    HostWindow host;
    GdiLedger ledger;
    Close how = Close::Ok;
    WhenShown closer([&how](ui::Window dialog) { PostClose(dialog, how); });
    const auto call = [&](int index) {
        how = static_cast<Close>(index % 3);
        Slots slots;
        return Outcome(function.call(slots, host.hwnd()), slots);
    };
    // What OK and what Cancel give: nothing is edited, so Escape gives what Cancel does.
    const std::string accepted = call(0), cancelled = call(1);
    EXPECT_EQ(call(2), cancelled);
    for (int i = 3; i < kWarmUpCalls; ++i)
        call(i);

    int wrongAnswers = 0;
    const Usage before = MeasureUsage();
    const GdiLedger::Counts gdiBefore = ledger.Now();
    const DWORD started = ::GetTickCount();
    for (int i = 0; i < kCCalls; ++i)
        wrongAnswers += call(i) != (i % 3 == 0 ? accepted : cancelled);
    const DWORD elapsed = ::GetTickCount() - started;
    const Usage after = MeasureUsage();
    const GdiLedger::Counts gdi = ledger.Now();

    std::printf("[ figures  ] %-11s %d calls (OK, Cancel, Escape in turn) in %lu ms; heap %+lld B, %+lld "
                "blocks; committed %+lld B; windows %lld -> %lld; DCs taken %ld, given back %ld; GDI objects "
                "made %ld, deleted %ld\n",
                function.name, kCCalls, static_cast<unsigned long>(elapsed),
                after.heapBytes - before.heapBytes, after.heapBlocks - before.heapBlocks,
                after.committed - before.committed, before.windows, after.windows,
                gdi.dcsObtained - gdiBefore.dcsObtained, gdi.dcsGivenBack - gdiBefore.dcsGivenBack,
                gdi.objectsCreated - gdiBefore.objectsCreated, gdi.objectsDeleted - gdiBefore.objectsDeleted);

    EXPECT_EQ(closer.DialogsShown(), kWarmUpCalls + kCCalls) << "every call shows its dialog once";
    EXPECT_EQ(wrongAnswers, 0) << "calls with a wrong result or outputs";
    ExpectNothingKept(before, after, ledger, gdi);
}

INSTANTIATE_TEST_SUITE_P(EveryCFunction, CEndurance, ::testing::Range<size_t>(0, 7),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(CFunctions()[info.param].name);
                         });

// The meters themselves: each sees the kind of leak it is there to catch.
TEST(Meters, SeeABlockPagesAWindowAndADeviceContextThatAreNotGivenBack) {
    HostWindow host; // the thread's first window brings Wine's own helper windows along
    const Usage before = MeasureUsage();
    void* volatile block = std::malloc(100);
    void* pages = ::VirtualAlloc(nullptr, 65536, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    HWND window =
        ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const Usage during = MeasureUsage();
    EXPECT_EQ(during.heapBlocks, before.heapBlocks + 1);
    EXPECT_GE(during.heapBytes, before.heapBytes + 100);
    EXPECT_EQ(during.committed, before.committed + 65536);
    EXPECT_EQ(during.windows, before.windows + 1);
    ::DestroyWindow(window);
    ::VirtualFree(pages, 0, MEM_RELEASE);
    std::free(block);
    const Usage after = MeasureUsage();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.committed, before.committed);

    // A DC taken through corvel.dll's own import slot, as the library takes one, and kept.
    GdiLedger ledger;
    ASSERT_FALSE(ledger.Hooked().empty()) << "corvel.dll imports none of the watched functions";
    void** getDC = hook::FindImportSlot(hook::LibraryUnderTest(), "user32.dll", "GetDC");
    void** releaseDC = hook::FindImportSlot(hook::LibraryUnderTest(), "user32.dll", "ReleaseDC");
    ASSERT_TRUE(getDC && releaseDC);
    HDC dc = reinterpret_cast<decltype(&::GetDC)>(*getDC)(nullptr);
    EXPECT_EQ(ledger.OutstandingDcs(), 1);
    HGDIOBJ font = ::SelectObject(dc, ::GetStockObject(ANSI_FIXED_FONT));
    reinterpret_cast<decltype(&::ReleaseDC)> (*releaseDC)(nullptr, dc);
    EXPECT_EQ(ledger.OutstandingDcs(), 0);
    EXPECT_EQ(ledger.Now().dcsGivenBackChanged, 1) << "given back with another font selected";
    (void)font;
}

} // namespace
} // namespace robust
