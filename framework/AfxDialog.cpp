#include "AfxDialog.h"

#include "AfxControlFit.h"
#include "AfxDarkAppearance.h"
#include "AfxDynamicLayout.h"
#include "AfxLanguage.h"
#include "AfxModuleState.h"
#include "AfxText.h"

// The size grip's control id.
#define AFX_IDW_SIZE_BOX 0xE801

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (!rControl.m_hWnd)
        rControl.SubclassWindow(pDX->PrepareCtrl(nIDC));
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hControl = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hControl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hControl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hControl = pDX->PrepareCtrl(nIDC);
    const UINT codePage = pDX->m_pDlgWnd->m_nTextCodePage;
    if (pDX->m_bSaveAndValidate)
        AfxGetWindowText(hControl, value, codePage);
    else
        AfxSetWindowText(hControl, value, codePage);
}

// ---- CDialog ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    HINSTANCE hInstance = AfxGetResourceHandle();
    // In the thread's user-interface language, or the nearest one the module has.
    HRSRC hResource = IS_INTRESOURCE(m_lpszTemplateName)
                          ? AfxFindResource(hInstance, MAKEINTRESOURCEW(LOWORD(m_lpszTemplateName)),
                                            MAKEINTRESOURCEW(5) /* RT_DIALOG */)
                          : ::FindResourceA(hInstance, m_lpszTemplateName, MAKEINTRESOURCEA(5));
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const void* pTemplate = hTemplate ? ::LockResource(hTemplate) : nullptr;
    if (!pTemplate)
        return -1;

    m_pShownTemplate = pTemplate;
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    // The system's dialog box answers an owner that is no window with 0, which would read as a Cancel.
    if (hOwner && !::IsWindow(hOwner))
        return -1;
    // An ANSI dialog for texts in the ANSI code page, a Unicode one (with Unicode controls) for any other.
    INT_PTR result = m_nTextCodePage == CP_ACP
                         ? ::DialogBoxIndirectParamA(hInstance, static_cast<LPCDLGTEMPLATEA>(pTemplate),
                                                     hOwner, &AfxDlgProc, reinterpret_cast<LPARAM>(this))
                         : ::DialogBoxIndirectParamW(hInstance, static_cast<LPCDLGTEMPLATEW>(pTemplate),
                                                     hOwner, &AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (m_hWnd) // creation failed half-way: do not keep a stale entry
        Detach();
    AfxRethrowWindowProcException();
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::EndDialog(int nResult) {
    return ::EndDialog(m_hWnd, nResult);
}

void CDialog::EnableResizing(BOOL bVertical) {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_THICKFRAME);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The border took its width from the client area; the window grows by as much, measured rather than
    // computed, so that it holds for any frame the system draws.
    RECT window, inner;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &inner);
    const SIZE opening = {window.right - window.left + client.right - inner.right,
                          window.bottom - window.top + client.bottom - inner.bottom};
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, opening.cx, opening.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Created last, the grip is last in the z-order: where a control overlaps it, the control is drawn
    // and clicked, and the grip clips itself away (WS_CLIPSIBLINGS). WS_GROUP keeps arrow keys from
    // moving the focus onto it.
    const int cx = ::GetSystemMetrics(SM_CXVSCROLL);
    const int cy = ::GetSystemMetrics(SM_CYHSCROLL);
    HWND hGrip = ::CreateWindowExA(
        0, "SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SBS_SIZEGRIP,
        client.right - cx, client.bottom - cy, cx, cy, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_SIZE_BOX)), AfxGetResourceHandle(), nullptr);

    EnableDynamicLayout();
    CDynamicLayout* pLayout = GetDynamicLayout();
    pLayout->AddItem(hGrip, CDynamicLayout::MoveHorizontalAndVertical(100, 100), CDynamicLayout::SizeNone());
    pLayout->SetMinSize(opening);
    if (!bVertical)
        pLayout->SetMaxSize(SIZE{0, opening.cy});
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

// An ANSI dialog gets the template's texts in the ANSI code page, which holds only the texts of its own
// script: a translation in another script would read as question marks. Each label, button and the
// caption whose text the code page cannot hold is given it again in Unicode (the window made Unicode
// first); controls that hold the caller's texts stay as they are.
static void ShowTemplateTextsInUnicode(HWND hDlg, const void* pTemplate) {
    if (!pTemplate || ::IsWindowUnicode(hDlg))
        return;
    auto lossy = [](const WCHAR* text) {
        BOOL usedDefault = FALSE;
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
        return usedDefault != FALSE;
    };
    auto showInUnicode = [](HWND hWnd, const WCHAR* text) {
        if (!::IsWindowUnicode(hWnd))
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC));
        ::SetWindowTextW(hWnd, text);
    };
    // sz_Or_Ord: none, an ordinal, or a zero-terminated text.
    auto skipField = [](const WORD* at) {
        return *at == 0xFFFF ? at + 2 : at + ::lstrlenW(reinterpret_cast<const WCHAR*>(at)) + 1;
    };
    const WORD* at = static_cast<const WORD*>(pTemplate);
    if (at[0] == 1 && at[1] == 0xFFFF)
        return; // the extended form, which these dialogs do not use
    const DWORD style = at[0] | (static_cast<DWORD>(at[1]) << 16);
    const WORD count = at[4];
    at = skipField(skipField(at + 9)); // past the header, the menu and the class
    const WCHAR* caption = reinterpret_cast<const WCHAR*>(at);
    if (lossy(caption))
        showInUnicode(hDlg, caption);
    at = skipField(at);
    if (style & DS_SETFONT)
        at = skipField(at + 1); // the point size and the face name
    HWND hControl = ::GetWindow(hDlg, GW_CHILD);
    for (WORD i = 0; i < count && hControl; ++i, hControl = ::GetWindow(hControl, GW_HWNDNEXT)) {
        at = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(at) + 3) & ~static_cast<UINT_PTR>(3));
        const WORD* classField = at + 9; // past style, extended style, place, size and id
        const bool predefined = classField[0] == 0xFFFF;
        const bool plainText =
            predefined && (classField[1] == 0x0080 || classField[1] == 0x0082); // button, static
        const WORD* textField = skipField(classField);
        const WCHAR* text = reinterpret_cast<const WCHAR*>(textField);
        if (plainText && *textField != 0xFFFF && lossy(text))
            showInUnicode(hControl, text);
        const WORD* extra = skipField(textField);
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(extra + 1) + *extra);
    }
}

static bool IsReflectedMessage(UINT message) {
    switch (message) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

static HWND ReflectionTarget(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        return reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
    case WM_DELETEITEM:
        return reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
    case WM_COMPAREITEM:
        return reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
    case WM_MEASUREITEM:
        return ::GetDlgItem(hDlg, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlID));
    default: // WM_CHARTOITEM, WM_VKEYTOITEM
        (void)wParam;
        return reinterpret_cast<HWND>(lParam);
    }
}

INT_PTR CALLBACK AfxDlgProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            CDialog* pDialog = reinterpret_cast<CDialog*>(lParam);
            pDialog->Attach(hDlg);
            // Before the dialog's own set-up, which may reorder the controls and take their places.
            ShowTemplateTextsInUnicode(hDlg, pDialog->m_pShownTemplate);
            AfxFitControlTexts(hDlg);
            const BOOL setFocus = pDialog->OnInitDialog();
            // After the dialog's own set-up, which makes the size grip.
            CDarkAppearance::Apply(hDlg);
            return setFocus;
        }
        CDialog* pDialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg));
        if (!pDialog)
            return FALSE;
        INT_PTR darkResult = 0;
        if (CDarkAppearance::OnDialogMessage(hDlg, message, wParam, lParam, &darkResult))
            return darkResult;
        if (message == WM_NCDESTROY) {
            pDialog->EnableDynamicLayout(FALSE);
            pDialog->Detach();
            return FALSE;
        }
        if (message == WM_SIZE) {
            pDialog->ResizeDynamicLayout();
            // A mirrored window grows on its left, where the system keeps the old pixels as they were
            // rather than moving them with the client area: everything is drawn again.
            if (::GetWindowLongPtrA(hDlg, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)
                ::RedrawWindow(hDlg, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return FALSE;
        }
        if (message == WM_GETMINMAXINFO) {
            if (CDynamicLayout* pLayout = pDialog->GetDynamicLayout())
                pLayout->GetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
            return FALSE;
        }
        if (IsReflectedMessage(message)) {
            CWnd* pChild = CWnd::FromHandlePermanent(ReflectionTarget(hDlg, message, wParam, lParam));
            LRESULT result = 0;
            if (!pChild || !pChild->OnChildNotify(message, wParam, lParam, &result))
                return FALSE;
            if (message == WM_CHARTOITEM || message == WM_VKEYTOITEM || message == WM_COMPAREITEM)
                return static_cast<INT_PTR>(result);
            ::SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, result);
            return TRUE;
        }
        if (message == WM_COMMAND || message == WM_DESTROY) {
            // WM_DESTROY also goes on to the dialog manager.
            return pDialog->DispatchToMessageMap(message, wParam) && message == WM_COMMAND;
        }
        return FALSE;
    } catch (...) {
        AfxStoreWindowProcException(hDlg);
        // By handle: when attaching failed in WM_INITDIALOG no wrapper leads to this dialog, and a dialog
        // left open here would have nothing to close it.
        ::EndDialog(hDlg, -1);
        return FALSE;
    }
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT /*nIDHelp*/) {
    AFX_MODULE_STATE* state = AfxGetModuleState();
    const char* caption = state->m_lpszCurrentAppName ? state->m_lpszCurrentAppName : "";
    return ::MessageBoxA(::GetActiveWindow(), lpszText, caption, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT /*nIDHelp*/) {
    // The text in the thread's language, shown as Unicode whatever the ANSI code page holds.
    const std::wstring text = AfxLoadString(nIDPrompt);
    AFX_MODULE_STATE* state = AfxGetModuleState();
    const std::wstring caption =
        AfxWideFromText(state->m_lpszCurrentAppName ? state->m_lpszCurrentAppName : "", CP_ACP);
    return ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), nType);
}
