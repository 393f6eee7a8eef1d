#include "AfxDialog.h"

#include "AfxDynamicLayout.h"
#include "AfxModuleState.h"

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
    HRSRC hResource = ::FindResourceA(hInstance, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL hTemplate = hResource ? ::LoadResource(hInstance, hResource) : nullptr;
    const void* pTemplate = hTemplate ? ::LockResource(hTemplate) : nullptr;
    if (!pTemplate)
        return -1;

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
            return pDialog->OnInitDialog();
        }
        CDialog* pDialog = static_cast<CDialog*>(CWnd::FromHandlePermanent(hDlg));
        if (!pDialog)
            return FALSE;
        if (message == WM_NCDESTROY) {
            pDialog->EnableDynamicLayout(FALSE);
            pDialog->Detach();
            return FALSE;
        }
        if (message == WM_SIZE) {
            pDialog->ResizeDynamicLayout();
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
