// Faults from below the library, injected into corvel.dll's imports: a dialog template that cannot be
// loaded, and memory running out. Neither may cost the caller anything: a template that cannot be loaded
// is answered 0 with only the flags reduced; memory exhaustion reaches the caller as std::bad_alloc with
// its sets, strings and flags exactly as they were, and the library is whole for the next call.
#include "Commands.h"
#include "UiDriver.h"
#include "FakeProvider.h"
#include "Faults.h"
#include "Meters.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>
#include <tuple>

namespace robust {
namespace {

using namespace cmd;
using namespace ui;

// After a failed call: no dialog is left open, the host window is usable again, and the library answers
// the next call as it should.
void ExpectLibraryWhole(Command command, HWND host, const Usage& before) {
    EXPECT_EQ(MeasureUsage().windows, before.windows) << "a window of the failed call is still there";
    EXPECT_TRUE(::IsWindowEnabled(host)) << "the host window was left disabled";

    FakeProvider provider;
    Watchdog watchdog;
    WhenShown closer([](ui::Window dialog) { PostClose(dialog, Close::Ok); });
    Arguments arguments = TypicalArguments();
    EXPECT_EQ(Invoke(command, arguments, provider, host), 1) << "the next call after the failure";
    EXPECT_EQ(arguments, TypicalArguments().WithFlagsReduced(command));
    EXPECT_EQ(closer.DialogsShown(), 1);
    EXPECT_FALSE(watchdog.Fired());
}

// ---- A template that cannot be loaded --------------------------------------------------------------

class MissingTemplate : public ::testing::TestWithParam<std::tuple<Command, TemplateFault::Where>> {};

TEST_P(MissingTemplate, AnswersZeroAndChangesNothingButTheFlags) {
    const Command command = std::get<0>(GetParam());
    HostWindow host;
    const Usage before = MeasureUsage();
    {
        TemplateFault fault(std::get<1>(GetParam()));
        ASSERT_TRUE(fault.Installed());
        FakeProvider provider;
        Watchdog watchdog(5000);
        WhenShown shown([](ui::Window dialog) { PostClose(dialog, Close::Cancel); });
        Arguments arguments = TypicalArguments();
        const Arguments given = arguments;

        EXPECT_EQ(Invoke(command, arguments, provider, host.hwnd()), 0);
        EXPECT_EQ(arguments, given.WithFlagsReduced(command));
        EXPECT_GE(fault.Calls(), 1) << "the template was never asked for";
        EXPECT_EQ(shown.DialogsShown(), 0);
        EXPECT_EQ(provider.availabilityQueries, 0) << "nothing of the dialog runs";
        EXPECT_FALSE(watchdog.Fired());
    }
    ExpectLibraryWhole(command, host.hwnd(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryExport, MissingTemplate,
                         ::testing::Combine(::testing::ValuesIn(kAllCommands),
                                            ::testing::Values(TemplateFault::Where::FindResource,
                                                              TemplateFault::Where::LoadResource)),
                         [](const ::testing::TestParamInfo<std::tuple<Command, TemplateFault::Where>>& info) {
                             return std::string(Name(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) == TemplateFault::Where::FindResource
                                         ? "_NotFound"
                                         : "_NotLoaded");
                         });

// ---- A list that refuses a row ----------------------------------------------------------------------

// corvel.dll's SendMessageA and CallWindowProcW (the way rows may reach the list box), except that the
// list refuses the `refuse`-th row put into it, as a list out of memory does.
struct RefusedRow {
    static long refuse, inserts;
    static hook::ImportHook *hook, *procHook;
    static bool Refused(UINT message) {
        return (message == LB_INSERTSTRING || message == LB_ADDSTRING) && ++inserts == refuse;
    }
    static LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (Refused(message))
            return LB_ERRSPACE;
        return hook->Original<decltype(&::SendMessageA)>()(window, message, wParam, lParam);
    }
    static LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
        if (Refused(message))
            return LB_ERRSPACE;
        return procHook->Original<decltype(&::CallWindowProcW)>()(proc, window, message, wParam, lParam);
    }
};
long RefusedRow::refuse = 0, RefusedRow::inserts = 0;
hook::ImportHook *RefusedRow::hook = nullptr, *RefusedRow::procHook = nullptr;

class ListRefusingARow : public ::testing::TestWithParam<Command> {};

TEST_P(ListRefusingARow, EndsTheCallAsMemoryExhaustionDoesAndDropsNoPath) {
    const Command command = GetParam();
    HostWindow host;
    const Usage before = MeasureUsage();
    const Arguments given = TypicalArguments();
    const long rows = static_cast<long>(given.files.size() + given.otherFiles.size() - 1); // one in both
    for (long refuse : {1L, rows / 2 + 1, rows}) {
        SCOPED_TRACE("row " + std::to_string(refuse) + " of " + std::to_string(rows) + " refused");
        RefusedRow::refuse = refuse;
        RefusedRow::inserts = 0;
        hook::ImportHook hook("user32.dll", "SendMessageA",
                              reinterpret_cast<void*>(&RefusedRow::SendMessageA));
        hook::ImportHook procHook("user32.dll", "CallWindowProcW",
                                  reinterpret_cast<void*>(&RefusedRow::CallWindowProcW));
        ASSERT_TRUE(hook.Installed() && procHook.Installed());
        RefusedRow::hook = &hook;
        RefusedRow::procHook = &procHook;
        FakeProvider provider;
        Watchdog watchdog;
        WhenShown shown([](ui::Window dialog) { PostClose(dialog, Close::Ok); });
        Arguments arguments = given;
        bool threwBadAlloc = false;
        try {
            Invoke(command, arguments, provider, host.hwnd());
        } catch (const std::bad_alloc&) {
            threwBadAlloc = true;
        }
        EXPECT_TRUE(threwBadAlloc);
        EXPECT_EQ(RefusedRow::inserts, refuse) << "rows were put in after the refusal";
        EXPECT_EQ(arguments, given);
        EXPECT_EQ(shown.DialogsShown(), 0);
        EXPECT_FALSE(watchdog.Fired());
    }
    ExpectLibraryWhole(command, host.hwnd(), before);
}

INSTANTIATE_TEST_SUITE_P(FileLists, ListRefusingARow,
                         ::testing::Values(Command::MultiFile, Command::CheckIn, Command::CheckOut),
                         ParamName());

// ---- Memory exhaustion -----------------------------------------------------------------------------

// Where the failing allocations start, and whether memory stays out once it has run out.
struct Exhaustion {
    bool fromOk;   // counted from the click on OK (after every control was edited), or from the call
    bool andAfter; // the counted allocation fails, and so does every later one
};

std::string ExhaustionName(const Exhaustion& exhaustion) {
    return std::string(exhaustion.fromOk ? "after OK" : "in the call") +
           (exhaustion.andAfter ? ", every allocation from then on failing"
                                : ", that allocation alone failing");
}

struct FaultyCall {
    bool fired = false;
    bool threwBadAlloc = false;
    bool threwOther = false;
    int result = -1;
    Arguments arguments;
};

FaultyCall CallFailingAt(Command command, HWND host, AllocationFault& fault, long failAt,
                         const Exhaustion& exhaustion) {
    FaultyCall call;
    call.arguments = TypicalArguments();
    FakeProvider provider;
    Watchdog watchdog;
    WhenShown shown([&](ui::Window dialog) {
        AllocationFault::Uncounted mine;
        PostEdits(command, dialog);
        if (exhaustion.fromOk)
            fault.ArmWhenRetrieved(::GetDlgItem(dialog.hwnd(), IDOK), BM_CLICK, failAt, exhaustion.andAfter);
        PostClose(dialog, Close::Ok);
    });
    if (!exhaustion.fromOk)
        fault.Arm(failAt, exhaustion.andAfter);
    try {
        call.result = Invoke(command, call.arguments, provider, host);
    } catch (const std::bad_alloc&) {
        call.threwBadAlloc = true;
    } catch (...) {
        call.threwOther = true;
    }
    call.fired = fault.Fired();
    fault.Disarm();
    EXPECT_FALSE(watchdog.Fired()) << "the dialog did not close";
    return call;
}

// Fails the allocations of the stretch, the first, then the second, and so on, one call each, until a call
// gets through without a failure. Returns how many allocations the stretch made.
long SweepAllocations(Command command, const Exhaustion& exhaustion) {
    HostWindow host;
    AllocationFault fault;
    EXPECT_TRUE(fault.Installed());
    GdiLedger ledger;
    const Arguments given = TypicalArguments();
    const Arguments accepted = AfterEdits(command, given);
    for (long failAt = 1; failAt < 2000; ++failAt) {
        SCOPED_TRACE("allocation " + std::to_string(failAt) + " " + ExhaustionName(exhaustion));
        const Usage before = MeasureUsage();
        const long dcsBefore = ledger.OutstandingDcs();
        const long objectsBefore = ledger.OutstandingObjects();
        const FaultyCall call = CallFailingAt(command, host.hwnd(), fault, failAt, exhaustion);
        if (!call.fired) {
            // Every allocation has failed in its turn: this call ran through.
            EXPECT_EQ(call.result, 1);
            EXPECT_EQ(call.arguments, accepted);
            EXPECT_FALSE(call.threwBadAlloc || call.threwOther);
            return failAt - 1;
        }
        if (!call.threwBadAlloc)
            ADD_FAILURE() << (call.threwOther ? std::string("another exception")
                                              : "no exception but the result " + std::to_string(call.result))
                          << " reached the caller";
        // The flags too: an exception leaves the export before they are written back.
        EXPECT_EQ(call.arguments, given) << "the caller's arguments changed";
        EXPECT_EQ(ledger.OutstandingDcs(), dcsBefore) << "a device context was not given back";
        EXPECT_EQ(ledger.OutstandingObjects(), objectsBefore) << "a GDI object was not deleted";
        ExpectLibraryWhole(command, host.hwnd(), before);
    }
    ADD_FAILURE() << "more than 2000 allocations";
    return -1;
}

class MemoryExhaustion : public ::testing::TestWithParam<Command> {};

TEST_P(MemoryExhaustion, WhileResultsAreWrittenBackLeavesTheCallersArgumentsAsTheyWere) {
    for (bool andAfter : {false, true}) {
        const Exhaustion exhaustion{true, andAfter};
        const long allocations = SweepAllocations(GetParam(), exhaustion);
        std::printf(
            "[ figures  ] %-10s %ld allocations from the click on OK to the return; each failed in turn, "
            "%s\n",
            Name(GetParam()), allocations, andAfter ? "with all later ones" : "alone");
    }
}

TEST_P(MemoryExhaustion, AnywhereInTheCallLeavesNothingBehind) {
    for (bool andAfter : {false, true}) {
        const Exhaustion exhaustion{false, andAfter};
        const long allocations = SweepAllocations(GetParam(), exhaustion);
        std::printf("[ figures  ] %-10s %ld allocations in a whole call; each failed in turn, %s\n",
                    Name(GetParam()), allocations, andAfter ? "with all later ones" : "alone");
    }
}

INSTANTIATE_TEST_SUITE_P(EveryExport, MemoryExhaustion, ::testing::ValuesIn(kAllCommands), ParamName());

} // namespace
} // namespace robust
