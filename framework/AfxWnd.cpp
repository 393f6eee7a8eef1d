#include "AfxWnd.h"

#include "AfxDialog.h"
#include "AfxDynamicLayout.h"
#include "AfxModuleState.h"
#include "AfxTemporaries.h"

#include <exception>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// Wrappers attached to windows of this thread, found again by handle for every message.
thread_local std::unordered_map<HWND, CWnd*>* t_pPermanentMap = nullptr;

std::unordered_map<HWND, CWnd*>& PermanentMap() {
    if (!t_pPermanentMap)
        t_pPermanentMap = new std::unordered_map<HWND, CWnd*>();
    return *t_pPermanentMap;
}

thread_local std::vector<std::unique_ptr<CWnd>>* t_pTemporaries = nullptr;

std::vector<std::unique_ptr<CWnd>>& Temporaries() {
    if (!t_pTemporaries)
        t_pTemporaries = new std::vector<std::unique_ptr<CWnd>>();
    return *t_pTemporaries;
}

// The exception on its way from a window procedure to DoModal, kept in place: it is often std::bad_alloc,
// and keeping it must not need memory that has run out.
struct PendingException {
    alignas(std::exception_ptr) unsigned char storage[sizeof(std::exception_ptr)];
    bool stored;
};
thread_local PendingException t_pending;

} // namespace

void AfxInitWindowThreadState() {
    AfxTouchThreadLocal(t_pPermanentMap);
    AfxTouchThreadLocal(t_pTemporaries);
    AfxTouchThreadLocal(t_pending);
}

std::size_t AfxTemporaryMark() {
    return t_pTemporaries ? t_pTemporaries->size() : 0;
}

void AfxReleaseTemporaries(std::size_t mark) {
    if (!t_pTemporaries)
        return;
    std::vector<std::unique_ptr<CWnd>>& temporaries = *t_pTemporaries;
    while (temporaries.size() > mark) {
        temporaries.back()->m_hWnd = nullptr; // the window is not ours to destroy
        temporaries.pop_back();
    }
    if (temporaries.empty()) {
        delete t_pTemporaries;
        t_pTemporaries = nullptr;
    }
}

// ---- CCmdTarget ------------------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::DispatchToMessageMap(UINT message, WPARAM wParam) {
    const UINT code = HIWORD(wParam);
    const UINT id = LOWORD(wParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message)
                continue;
            if (message == WM_COMMAND && (entry->nCode != code || id < entry->nID || id > entry->nLastID))
                continue;
            (this->*entry->pfn)();
            return true;
        }
    }
    return false;
}

// ---- CWnd ------------------------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd) {
        // A wrapper that outlives its purpose lets go of the window instead of leaving a dangling entry.
        if (m_pfnSuper)
            UnsubclassWindow();
        else
            Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd || !t_pPermanentMap)
        return nullptr;
    auto found = t_pPermanentMap->find(hWnd);
    return found == t_pPermanentMap->end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd))
        return permanent;
    for (const std::unique_ptr<CWnd>& temporary : Temporaries())
        if (temporary->m_hWnd == hWnd)
            return temporary.get();
    std::unique_ptr<CWnd> temporary(new CWnd());
    temporary->m_hWnd = hWnd;
    Temporaries().push_back(std::move(temporary));
    return Temporaries().back().get();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (!hWnd || m_hWnd)
        return FALSE;
    std::unordered_map<HWND, CWnd*>& map = PermanentMap();
    try {
        map[hWnd] = this; // may throw: then nothing is attached
    } catch (...) {
        // A map made for this entry alone would otherwise stay until some later Detach.
        if (map.empty()) {
            delete t_pPermanentMap;
            t_pPermanentMap = nullptr;
        }
        throw;
    }
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd && t_pPermanentMap) {
        t_pPermanentMap->erase(hWnd);
        if (t_pPermanentMap->empty()) {
            delete t_pPermanentMap;
            t_pPermanentMap = nullptr;
        }
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    m_bUnicodeProc = ::IsWindowUnicode(hWnd) != FALSE;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        m_bUnicodeProc ? SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProcW))
                       : SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper && m_hWnd) {
        if (m_bUnicodeProc)
            SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    HWND hControl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hControl ? SubclassWindow(hControl) : FALSE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

void CWnd::OnDestroy() {}

void CWnd::EnableDynamicLayout(BOOL bEnable) {
    m_pDynamicLayout.reset();
    if (!bEnable)
        return;
    m_pDynamicLayout.reset(new CDynamicLayout());
    m_pDynamicLayout->Create(this);
}

void CWnd::ResizeDynamicLayout() {
    if (m_pDynamicLayout)
        m_pDynamicLayout->Adjust();
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_bUnicodeProc)
        return m_pfnSuper ? ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam)
                          : ::DefWindowProcW(m_hWnd, message, wParam, lParam);
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (DispatchToMessageMap(message, wParam))
        return 0;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

LRESULT AfxCallWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, bool unicode) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return unicode ? ::DefWindowProcW(hWnd, message, wParam, lParam)
                       : ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The last message: hand the window back to its own procedure and forget it.
        WNDPROC super = pWnd->m_pfnSuper;
        pWnd->UnsubclassWindow();
        if (unicode)
            return super ? ::CallWindowProcW(super, hWnd, message, wParam, lParam)
                         : ::DefWindowProcW(hWnd, message, wParam, lParam);
        return super ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }
    try {
        return pWnd->WindowProc(message, wParam, lParam);
    } catch (...) {
        AfxStoreWindowProcException(hWnd);
        return 0;
    }
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxCallWndProc(hWnd, message, wParam, lParam, false);
}

LRESULT CALLBACK AfxWndProcW(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return AfxCallWndProc(hWnd, message, wParam, lParam, true);
}

void AfxStoreWindowProcException(HWND hWnd) {
    if (!t_pending.stored) {
        new (t_pending.storage) std::exception_ptr(std::current_exception());
        t_pending.stored = true;
    }
    // End the innermost dialog this window belongs to; its DoModal passes the exception on.
    for (HWND h = hWnd; h; h = ::GetParent(h)) {
        if (dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(h))) {
            ::EndDialog(h, -1);
            return;
        }
    }
}

void AfxRethrowWindowProcException() {
    if (!t_pending.stored)
        return;
    auto* stored = reinterpret_cast<std::exception_ptr*>(t_pending.storage);
    std::exception_ptr pending = std::move(*stored);
    stored->~exception_ptr();
    t_pending.stored = false;
    std::rethrow_exception(pending);
}
