// The dialogs' controls come from Common Controls 6, themed when the system has a visual style, although
// this test program (the host) has no manifest asking for them; the host's own controls stay as the host
// made them: a button it creates while the library calls it back, or after the call, is the plain one.
// CTest runs this program with the style on and again with it off (CORVEL_VISUAL_STYLE, scripts/wine-run).
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool StyleOnInThisRun() {
    const char* style = std::getenv("CORVEL_VISUAL_STYLE");
    return !style || std::strcmp(style, "off") != 0;
}

// What kind of button a window is: only the version-6 class answers BCM_GETIDEALSIZE.
struct ButtonKind {
    bool version6;
    bool themed;
    bool operator==(const ButtonKind& other) const {
        return version6 == other.version6 && themed == other.themed;
    }
    friend void PrintTo(const ButtonKind& kind, std::ostream* out) {
        *out << (kind.version6 ? "version 6" : "version 5") << (kind.themed ? ", themed" : ", unthemed");
    }
};

ButtonKind KindOf(HWND button) {
    SIZE ideal = {};
    return {::SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != FALSE,
            ::GetWindowTheme(button) != nullptr};
}

// A push button as the host makes one, beside its own window.
ButtonKind KindOfHostButton(HWND owner) {
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"Host", WS_CHILD | BS_PUSHBUTTON, 0, 0, 60, 20, owner,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    const ButtonKind kind = KindOf(button);
    ::DestroyWindow(button);
    return kind;
}

TEST(VisualStyle, TheSystemStyleIsAsThisRunAsksAndTheHostHasNoManifestOfItsOwn) {
    EXPECT_EQ(::IsThemeActive() != FALSE, StyleOnInThisRun());
    ui::HostWindow host;
    EXPECT_EQ(KindOfHostButton(host.hwnd()), (ButtonKind{false, false}));
}

class DialogStyle : public ::testing::TestWithParam<cmd::Command> {};

TEST_P(DialogStyle, OkIsAThemedVersion6ButtonWhileTheHostsButtonsBeforeDuringAndAfterArePlain) {
    const ButtonKind plain{false, false}, library{true, StyleOnInThisRun()};
    ui::HostWindow host;
    cmd::Call call(GetParam(), cmd::TypicalArguments());
    ButtonKind ok{}, duringCallback{true, true};
    bool calledBack = false;
    call.provider.onShow = [&](HWND owner) {
        calledBack = true;
        duringCallback = KindOfHostButton(owner);
    };
    ui::Script script;
    script.OnDialog(call.Caption(), [&](ui::Window dialog) {
        ok = KindOf(dialog.Item(IDOK).hwnd());
        if (ui::Window advanced = dialog.Item(IDC_ADVANCED))
            advanced.Click();
    });
    script.OnDialog(call.Caption(), [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    EXPECT_EQ(call.result, 1);
    EXPECT_EQ(ok, library);
    if (GetParam() != cmd::Command::Rename) { // the only dialog without an Advanced button
        EXPECT_TRUE(calledBack);
        EXPECT_EQ(duringCallback, plain);
    }
    EXPECT_EQ(KindOfHostButton(host.hwnd()), plain);
}

INSTANTIATE_TEST_SUITE_P(Commands, DialogStyle, ::testing::ValuesIn(cmd::kAllCommands), cmd::ParamName());

} // namespace
