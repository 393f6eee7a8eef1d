// The framework layer on its own: module state, temporary wrappers, message maps and exceptions that
// leave a dialog's window procedure. Linked statically, with corvel.dll loaded only for its templates.
#include "AfxDialog.h"
#include "AfxModuleState.h"
#include "AfxTemporaries.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {
AFX_MODULE_STATE g_testModuleState;
}

AFX_MODULE_STATE* AfxGetStaticModuleState() {
    return &g_testModuleState;
}

namespace {

TEST(ModuleState, AGuardMakesAStateCurrentAndRestoresTheOuterOneOnEveryWayOut) {
    AFX_MODULE_STATE first, second;
    EXPECT_EQ(AfxGetModuleState(), &g_testModuleState);
    {
        AFX_MAINTAIN_STATE2 outer(&first);
        EXPECT_EQ(AfxGetModuleState(), &first);
        {
            AFX_MAINTAIN_STATE2 inner(&second);
            EXPECT_EQ(AfxGetModuleState(), &second);
        }
        EXPECT_EQ(AfxGetModuleState(), &first);
        try {
            AFX_MAINTAIN_STATE2 throwing(&second);
            throw std::bad_alloc();
        } catch (const std::bad_alloc&) {
        }
        EXPECT_EQ(AfxGetModuleState(), &first);
    }
    EXPECT_EQ(AfxGetModuleState(), &g_testModuleState);
}

TEST(TemporaryWrappers, LiveUntilTheEndOfTheCallThatMadeThem) {
    HWND desktop = ::GetDesktopWindow();
    const size_t before = AfxTemporaryMark();
    {
        AFX_MAINTAIN_STATE2 call(&g_testModuleState);
        CWnd* wrapper = CWnd::FromHandle(desktop);
        ASSERT_NE(wrapper, nullptr);
        EXPECT_EQ(wrapper->GetSafeHwnd(), desktop);
        EXPECT_EQ(CWnd::FromHandle(desktop), wrapper) << "one wrapper per handle";
        EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
        {
            AFX_MAINTAIN_STATE2 nested(&g_testModuleState);
            CWnd::FromHandle(::GetShellWindow() ? ::GetShellWindow() : desktop);
        }
        // The nested call released its own wrappers, not the outer call's.
        EXPECT_EQ(AfxTemporaryMark(), before + 1);
        EXPECT_EQ(CWnd::FromHandle(desktop), wrapper);
    }
    EXPECT_EQ(AfxTemporaryMark(), before);
    EXPECT_TRUE(::IsWindow(desktop)) << "releasing a wrapper never destroys the window";
}

class Base : public CWnd {
public:
    int baseClicks = 0, destroyed = 0;
    void OnBaseButton() { ++baseClicks; }
    void OnDestroy() { ++destroyed; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Base, CWnd)
ON_BN_CLICKED(10, OnBaseButton)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class Derived : public Base {
public:
    int derivedClicks = 0, selections = 0;
    void OnDerivedButton() { ++derivedClicks; }
    void OnSelection() { ++selections; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Derived, Base)
ON_BN_CLICKED(10, OnDerivedButton)
ON_LBN_SELCHANGE(11, OnSelection)
END_MESSAGE_MAP()

TEST(MessageMaps, TheMostDerivedEntryWinsAndBaseMapsAreSearchedAfter) {
    Derived target;
    EXPECT_TRUE(target.DispatchToMessageMap(WM_COMMAND, MAKEWPARAM(10, BN_CLICKED)));
    EXPECT_EQ(target.derivedClicks, 1);
    EXPECT_EQ(target.baseClicks, 0);
    EXPECT_TRUE(target.DispatchToMessageMap(WM_DESTROY, 0));
    EXPECT_EQ(target.destroyed, 1);
    EXPECT_TRUE(target.DispatchToMessageMap(WM_COMMAND, MAKEWPARAM(11, LBN_SELCHANGE)));
    EXPECT_EQ(target.selections, 1);
    // The notification code and the id must both match.
    EXPECT_FALSE(target.DispatchToMessageMap(WM_COMMAND, MAKEWPARAM(11, LBN_DBLCLK)));
    EXPECT_FALSE(target.DispatchToMessageMap(WM_COMMAND, MAKEWPARAM(12, BN_CLICKED)));
    EXPECT_FALSE(target.DispatchToMessageMap(WM_PAINT, 0));
}

// A dialog on one of the library's templates, loaded from corvel.dll as this module's resources.
class ThrowingDialog : public CDialog {
public:
    explicit ThrowingDialog(bool throwOnInit) : CDialog(IDD_SESSION_OPTIONS), m_throwOnInit(throwOnInit) {}
    bool destroyed = false;

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_throwOnInit)
            throw std::runtime_error("failed in OnInitDialog");
        ::PostMessageA(m_hWnd, WM_COMMAND, IDC_ADVANCED, 0);
        return TRUE;
    }
    void OnAdvanced() { throw std::length_error("failed in a handler"); }
    void OnDestroy() { destroyed = true; }

private:
    bool m_throwOnInit;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ThrowingDialog, CDialog)
ON_BN_CLICKED(IDC_ADVANCED, OnAdvanced)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class DialogResources : public ::testing::Test {
protected:
    void SetUp() override {
        m_library = ::LoadLibraryA("corvel.dll");
        ASSERT_NE(m_library, nullptr);
        m_state.m_hCurrentResourceHandle = m_library;
    }
    void TearDown() override { ::FreeLibrary(m_library); }
    HMODULE m_library = nullptr;
    AFX_MODULE_STATE m_state;
};

TEST_F(DialogResources, AnExceptionInsideTheWindowProcedureEndsTheDialogAndReachesTheCaller) {
    AFX_MAINTAIN_STATE2 call(&m_state);
    ThrowingDialog inInit(true);
    EXPECT_THROW(inInit.DoModal(), std::runtime_error);
    EXPECT_TRUE(inInit.destroyed);
    EXPECT_EQ(inInit.m_hWnd, nullptr);

    ThrowingDialog inHandler(false);
    EXPECT_THROW(inHandler.DoModal(), std::length_error);
    EXPECT_TRUE(inHandler.destroyed);
    EXPECT_EQ(CWnd::FromHandlePermanent(::GetActiveWindow()), nullptr);
}

TEST_F(DialogResources, AMissingTemplateGivesMinusOne) {
    AFX_MAINTAIN_STATE2 call(&m_state);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

} // namespace
