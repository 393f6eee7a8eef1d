#include "SlicedListFill.h"

#include "AfxLanguage.h"
#include "AfxText.h"
#include "resource.h"

#include <algorithm>
#include <string>

namespace {

// The thread's message to the line itself, which no one else sends it.
constexpr UINT kPreparedMessage = WM_APP + 1;
constexpr UINT_PTR kSliceTimer = 1;
// Polls the thread too, should its message be lost (a full queue).
constexpr UINT_PTR kPollTimer = 2;

// A slice's length. The slices run on a timer of the shortest period, which the loop delivers only when
// no input, painting or other timer waits; a slice longer than the period finds its timer due again when
// it ends, so the rows follow each other without a pause while nothing else wants the loop. Input ends a
// slice early, so a keystroke waits for a few hundred rows at most whatever the length; the length bounds
// how long a repaint, another timer or a message sent from another thread waits, and each slice costs a
// repaint of the list and its scroll bar, which longer slices pay less often.
constexpr int kSliceMs = 40;
// Rows between looks at the clock, and between looks at the queue for input.
constexpr std::size_t kRowsPerLook = 32;
constexpr std::size_t kLooksPerInputCheck = 4;
// The line's figures change at most this often, so a screen reader is not flooded.
constexpr int kProgressEveryMs = 100;

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LONGLONG TicksPerMs() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return std::max<LONGLONG>(frequency.QuadPart / 1000, 1);
}

bool InputWaiting() {
    return HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
}

} // namespace

CSlicedListFill::CSlicedListFill(std::size_t total, Steps steps) : m_total(total), m_steps(std::move(steps)) {
    m_sliceTicks = kSliceMs * TicksPerMs();
    m_progressEvery = kProgressEveryMs * TicksPerMs();
}

CSlicedListFill::~CSlicedListFill() {
    Stop();
}

bool CSlicedListFill::Start(HWND dialog, HWND list, const RECT& place, HWND insertAfter) {
    m_hList = list;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS;
    const HMENU id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FILL_PROGRESS));
    // A Unicode window in any dialog: its text is in the user's language, which the ANSI code page may
    // not hold.
    HWND line = ::CreateWindowExW(0, L"STATIC", L"", style, place.left, place.top, place.right - place.left,
                                  place.bottom - place.top, dialog, id, instance, nullptr);
    if (!line)
        return false;
    ::SendMessageW(line, WM_SETFONT, ::SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    ::SetWindowPos(line, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SubclassWindow(line);
    m_hLine = line;
    m_hThread = ::CreateThread(nullptr, 0, &RunPrepare, this, 0, nullptr);
    if (!m_hThread) {
        ::DestroyWindow(line);
        return false;
    }
    ::SetTimer(m_hWnd, kPollTimer, 250, nullptr);
    ShowProgress();
    return true;
}

DWORD WINAPI CSlicedListFill::RunPrepare(void* parameter) {
    CSlicedListFill& self = *static_cast<CSlicedListFill*>(parameter);
    try {
        self.m_steps.prepare(self.m_stop);
    } catch (...) {
        self.m_failure = std::current_exception();
    }
    self.m_done.store(true);
    if (!self.m_stop.load())
        ::PostMessageW(self.m_hLine, kPreparedMessage, 0, 0);
    return 0;
}

void CSlicedListFill::Stop() {
    m_stop.store(true);
    if (m_hThread) {
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    if (m_hWnd) {
        ::KillTimer(m_hWnd, kSliceTimer);
        ::KillTimer(m_hWnd, kPollTimer);
    }
}

void CSlicedListFill::OnPrepared() {
    if (m_prepared || !m_hThread || !m_done.load())
        return;
    // The thread is done with its work and on its way out.
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    ::KillTimer(m_hWnd, kPollTimer);
    m_prepared = true;
    if (m_failure)
        std::rethrow_exception(m_failure);
    m_steps.prepared();
    ::SetTimer(m_hWnd, kSliceTimer, USER_TIMER_MINIMUM, nullptr);
    RunSlice();
}

void CSlicedListFill::Complete() {
    if (m_finished || !m_hWnd)
        return;
    if (!m_prepared) {
        if (m_hThread)
            ::WaitForSingleObject(m_hThread, INFINITE);
        OnPrepared();
        if (!m_prepared)
            return;
    }
    ::KillTimer(m_hWnd, kSliceTimer);
    ::SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
    m_steps.append(m_next, m_total);
    m_next = m_total;
    ::SendMessageW(m_hList, WM_SETREDRAW, TRUE, 0);
    Finish();
}

void CSlicedListFill::RunSlice() {
    if (m_finished || !m_prepared)
        return;
    const LONGLONG deadline = Now() + m_sliceTicks;
    ::SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
    for (std::size_t looks = 1; m_next < m_total; ++looks) {
        const std::size_t to = std::min(m_total, m_next + kRowsPerLook);
        m_steps.append(m_next, to);
        m_next = to;
        if (Now() >= deadline || (looks % kLooksPerInputCheck == 0 && InputWaiting()))
            break;
    }
    ::SendMessageW(m_hList, WM_SETREDRAW, TRUE, 0);
    if (m_next >= m_total) {
        Finish();
        return;
    }
    if (Now() - m_progressShownAt >= m_progressEvery)
        ShowProgress();
}

void CSlicedListFill::ShowProgress() {
    std::wstring text = AfxLoadString(IDS_FILL_PROGRESS);
    AfxReplaceWithCount(text, L"%1", static_cast<long long>(m_next));
    AfxReplaceWithCount(text, L"%2", static_cast<long long>(m_total));
    ::SetWindowTextW(m_hWnd, text.c_str());
    m_progressShownAt = Now();
}

void CSlicedListFill::Finish() {
    m_finished = true;
    ::KillTimer(m_hWnd, kSliceTimer);
    ::KillTimer(m_hWnd, kPollTimer);
    ::DestroyWindow(m_hWnd);
    m_steps.finished();
}

LRESULT CSlicedListFill::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kPreparedMessage:
        OnPrepared();
        return 0;
    case WM_TIMER:
        if (wParam == kPollTimer)
            OnPrepared();
        else if (wParam == kSliceTimer)
            RunSlice();
        else
            break;
        return 0;
    default:
        break;
    }
    return DefWindowProc(message, wParam, lParam);
}
