// Memory exhaustion in the C functions: every allocation a call makes (corvel.dll's operator new, the C++
// runtime's malloc, and corvel.dll's own malloc for the blocks it hands out) fails in its turn, alone and
// with every later one, while the user edits the dialog and presses OK, or presses Cancel. The result must
// be CORVEL_E_OUT_OF_MEMORY with no argument written, or the very result of a call without the failure;
// never a crash or an exception, never an output or flag partly written, and nothing left behind: heap
// blocks, windows, device contexts and GDI objects.
#include "CCalls.h"
#include "Commands.h"
#include "FakeProvider.h"
#include "Faults.h"
#include "Meters.h"
#include "UiDriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace robust {
namespace {

using ui::Close;

// One call, the user editing and then leaving by `how`; with `fault` armed at `failAt` when given.
std::string Call(const Function& function, HWND host, Close how, AllocationFault* fault, long failAt,
                 bool andAfter, bool* fired) {
    Slots slots;
    ui::Watchdog watchdog;
    ui::WhenShown user([&](ui::Window dialog) {
        AllocationFault::Uncounted mine;
        function.edit(dialog);
        ui::PostClose(dialog, how);
    });
    if (fault)
        fault->Arm(failAt, andAfter);
    const int result = function.call(slots, host);
    if (fault) {
        *fired = fault->Fired();
        fault->Disarm();
    }
    EXPECT_FALSE(watchdog.Fired()) << "the dialog did not close";
    return Outcome(result, slots);
}

class CMemoryExhaustion : public ::testing::TestWithParam<size_t> {};

TEST_P(CMemoryExhaustion, EveryAllocationFailingGivesOutOfMemoryOrTheNormalResultAndLeavesNothingBehind) {
    const Function& function = CFunctions()[GetParam()];
    ui::HostWindow host;
    AllocationFault fault;
    ASSERT_TRUE(fault.Installed());
    GdiLedger ledger;
    Slots untouched;
    const std::string outOfMemory = Outcome(CORVEL_E_OUT_OF_MEMORY, untouched);
    // Once for the process: the first exception thrown through a module has the unwinder sort that module's
    // tables (about 32 KB), and the first call that finds memory gone for good leaves one block of 20 bytes
    // that the runtime keeps. One unmeasured sweep first, so that only what the calls leave is measured.
    static bool warmedUp = false;
    for (long failAt = 1; !warmedUp; ++failAt) {
        bool fired = false;
        Call(function, host.hwnd(), Close::Ok, &fault, failAt, false, &fired);
        if (!fired || failAt > 2000) { // without a failure the sweep is through
            Call(function, host.hwnd(), Close::Ok, &fault, 1, true, &fired);
            warmedUp = true;
        }
    }
    for (Close how : {Close::Ok, Close::Cancel}) {
        // Without a failure, twice: the first call also warms up what the library keeps for the process.
        const std::string normal = Call(function, host.hwnd(), how, nullptr, 0, false, nullptr);
        ASSERT_EQ(Call(function, host.hwnd(), how, nullptr, 0, false, nullptr), normal);
        for (bool andAfter : {false, true}) {
            bool fired = false;
            long failAt = 1, heapBlocksLeft = 0, heapBytesLeft = 0, outOfMemoryResults = 0;
            for (;; ++failAt) {
                SCOPED_TRACE(std::string(ui::Name(how)) + ", allocation " + std::to_string(failAt) +
                             (andAfter ? " and every later one" : " alone"));
                ASSERT_LT(failAt, 2000);
                const long dcs = ledger.OutstandingDcs(), objects = ledger.OutstandingObjects();
                const Usage before = MeasureUsage();
                bool expected;
                {
                    const std::string outcome =
                        Call(function, host.hwnd(), how, &fault, failAt, andAfter, &fired);
                    expected = outcome == normal || (fired && outcome == outOfMemory);
                    outOfMemoryResults += fired && outcome == outOfMemory;
                    EXPECT_TRUE(expected) << outcome << "\n  expected " << normal << "\n  or " << outOfMemory;
                }
                // Measured around the call alone: the test's own bookkeeping between calls is no concern.
                const Usage after = MeasureUsage();
                heapBlocksLeft += after.heapBlocks - before.heapBlocks;
                heapBytesLeft += after.heapBytes - before.heapBytes;
                EXPECT_EQ(after.heapBlocks, before.heapBlocks) << "heap blocks left behind";
                EXPECT_EQ(after.heapBytes, before.heapBytes) << "heap bytes left behind";
                EXPECT_EQ(after.windows, before.windows) << "a window was left";
                EXPECT_EQ(ledger.OutstandingDcs(), dcs) << "a device context was not given back";
                EXPECT_EQ(ledger.OutstandingObjects(), objects) << "a GDI object was not deleted";
                EXPECT_TRUE(::IsWindowEnabled(host.hwnd())) << "the host window was left disabled";
                if (!fired || !expected)
                    break; // without a failure: every allocation has failed in its turn
            }
            std::printf("[ figures  ] %-11s %-6s %ld allocations, each failed in turn%s: %ld out of memory, "
                        "the rest absorbed; calls left %+lld "
                        "heap bytes / %+lld "
                        "blocks\n",
                        function.name, ui::Name(how), failAt - 1,
                        andAfter ? " with all later ones" : " alone", outOfMemoryResults,
                        static_cast<long long>(heapBytesLeft), static_cast<long long>(heapBlocksLeft));
        }
        // And the next call works.
        EXPECT_EQ(Call(function, host.hwnd(), how, nullptr, 0, false, nullptr), normal);
    }
}

// A parent window that is gone by the time of the call: no dialog can be made. The C functions say so
// with CORVEL_E_NO_DIALOG and write nothing, not even their in/out flags; the C++ exports answer 0 as for
// a Cancel. The next call, over a live window, shows its dialog.
TEST(NoDialog, AParentThatIsNoLongerAWindowGivesNoDialogAndWritesNothing) {
    HWND gone;
    {
        ui::HostWindow closed;
        gone = closed.hwnd();
    }
    ASSERT_FALSE(::IsWindow(gone));
    ui::HostWindow host;
    Slots untouched;
    const std::string noDialog = Outcome(CORVEL_E_NO_DIALOG, untouched);
    for (const Function& function : CFunctions()) {
        SCOPED_TRACE(function.name);
        EXPECT_EQ(Call(function, gone, Close::Ok, nullptr, 0, false, nullptr), noDialog);
        EXPECT_EQ(
            Call(function, host.hwnd(), Close::Cancel, nullptr, 0, false, nullptr).rfind("result 0;", 0), 0u);
    }
    for (cmd::Command command : cmd::kAllCommands) {
        SCOPED_TRACE(cmd::Name(command));
        cmd::Arguments arguments = cmd::TypicalArguments();
        arguments.flags = {1, 0, 1, 0};
        const cmd::Arguments before = arguments;
        FakeProvider provider;
        ui::Watchdog watchdog;
        EXPECT_EQ(cmd::Invoke(command, arguments, provider, gone), 0);
        EXPECT_EQ(arguments, before);
        EXPECT_FALSE(watchdog.Fired()) << "a dialog came up";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFunction, CMemoryExhaustion, ::testing::Range<size_t>(0, 7),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(CFunctions()[info.param].name);
                         });

} // namespace
} // namespace robust
