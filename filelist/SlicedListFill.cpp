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
// slice within a few milliseconds whatever its length; the length bounds how long a repaint or a message
// sent from another thread waits.
constexpr int kSliceMs = 40;
// A slice goes on past that while nothing but timers waits for the loop, up to this long, which bounds how
// long another timer waits: each slice ends with the list's scroll bar brought up to date, which costs
// about as much as appending 10 ms of rows.
constexpr int kLongestSliceMs = 250;
// Rows between looks at the clock; the queue is looked at for input this often (a look asks the system).
constexpr std::size_t kRowsPerLook = 32;
constexpr int kInputCheckMs = 2;
// The line's figures change at most this often, so a screen reader is not flooded.
constexpr int kProgressEveryMs = 100;
// Turning the list's drawing back on brings its scroll bar up to date, which costs about as much as
// appending 10 ms of rows. Once the rows in view are in, the slices leave it off between them while nothing
// wants the list, and the scroll bar follows at most this long after.
constexpr int kScrollBarEveryMs = 250;

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

// Anything but a timer waits for the loop: input, a repaint, a posted or a sent message.
bool LoopWanted() {
    return HIWORD(::GetQueueStatus(QS_ALLINPUT & ~QS_TIMER)) != 0;
}

// Whether the list is to be drawn before the loop's next turn: it waits to be painted, or input other than
// typing into a box waits (a click, or a key that may reach the list).
bool ListWanted(HWND list) {
    if (::GetUpdateRect(list, nullptr, FALSE))
        return true;
    const DWORD waiting = HIWORD(::GetQueueStatus(QS_INPUT));
    if (!waiting)
        return false;
    wchar_t focusClass[8] = L"";
    HWND focus = ::GetFocus();
    const bool typingIntoABox =
        focus && ::GetClassNameW(focus, focusClass, 8) && ::lstrcmpiW(focusClass, L"Edit") == 0;
    return (waiting & ~QS_KEY) != 0 || !typingIntoABox;
}

} // namespace

CSlicedListFill::CSlicedListFill(std::size_t total, Steps steps) : m_total(total), m_steps(std::move(steps)) {
    m_sliceTicks = kSliceMs * TicksPerMs();
    m_longestSliceTicks = kLongestSliceMs * TicksPerMs();
    m_inputCheckTicks = kInputCheckMs * TicksPerMs();
    m_progressEvery = kProgressEveryMs * TicksPerMs();
    m_holdDrawingFor = kScrollBarEveryMs * TicksPerMs();
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
    const bool failed = self.m_failure != nullptr;
    self.m_prepareDone.store(true);
    if (self.m_stop.load())
        return 0;
    ::PostMessageW(self.m_hLine, kPreparedMessage, 0, 0);
    // The measures are not needed before the first row: they are taken while the rows arrive.
    if (!failed) {
        try {
            self.m_steps.measure(self.m_stop);
        } catch (...) {
            self.m_measureFailure = std::current_exception();
        }
    }
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
    if (m_prepared || !m_hThread || !m_prepareDone.load())
        return;
    ::KillTimer(m_hWnd, kPollTimer);
    m_prepared = true;
    if (m_failure)
        std::rethrow_exception(m_failure);
    ::SetTimer(m_hWnd, kSliceTimer, USER_TIMER_MINIMUM, nullptr);
    RunSlice();
}

void CSlicedListFill::TakeMeasures(bool wait) {
    if (m_measured || !m_prepared || !m_hThread)
        return;
    if (::WaitForSingleObject(m_hThread, wait ? INFINITE : 0) != WAIT_OBJECT_0)
        return;
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_measured = true;
    if (m_measureFailure)
        std::rethrow_exception(m_measureFailure);
    m_steps.measured();
}

void CSlicedListFill::Complete() {
    if (m_finished || !m_hWnd)
        return;
    if (!m_prepared) {
        if (m_hThread)
            ::WaitForSingleObject(m_hThread, INFINITE);
        OnPrepared(); // its first slice may bring in every row
        if (!m_prepared || m_finished)
            return;
    }
    ::KillTimer(m_hWnd, kSliceTimer);
    ::SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
    m_steps.append(m_next, m_total);
    m_next = m_total;
    Finish();
}

void CSlicedListFill::RunSlice() {
    if (m_finished || !m_prepared)
        return;
    const LONGLONG deadline = Now() + m_sliceTicks;
    // Once the rows in view are in, the rows a slice adds are all below them: turning drawing back on
    // need not repaint the list (its scroll bar follows all the same), unless it was to be painted anyway.
    const bool viewFilled = RowsInViewArrived() && !::GetUpdateRect(m_hList, nullptr, FALSE);
    ::SendMessageW(m_hList, WM_SETREDRAW, FALSE, 0);
    const LONGLONG longest = deadline - m_sliceTicks + m_longestSliceTicks;
    LONGLONG nextInputCheck = Now() + m_inputCheckTicks;
    while (m_next < m_total) {
        const std::size_t to = std::min(m_total, m_next + kRowsPerLook);
        m_steps.append(m_next, to);
        m_next = to;
        const LONGLONG now = Now();
        if (now >= nextInputCheck) {
            if (InputWaiting())
                break;
            nextInputCheck = now + m_inputCheckTicks;
        }
        if (now >= longest || (now >= deadline && LoopWanted()))
            break;
    }
    if (m_next >= m_total) {
        Finish();
        return;
    }
    // Taken while drawing is still off, the measures' scroll bar comes up with the rows'.
    TakeMeasures(false);
    // While nothing wants the list, it stays as it is drawn, its scroll bar a little behind.
    const bool hold = viewFilled && !ListWanted(m_hList);
    if (hold && !m_drawingHeldSince)
        m_drawingHeldSince = Now();
    if (!hold || Now() - m_drawingHeldSince >= m_holdDrawingFor)
        DrawListAgain(viewFilled);
    if (Now() - m_progressShownAt >= m_progressEvery)
        ShowProgress();
}

void CSlicedListFill::DrawListAgain(bool viewUnchanged) {
    ::SendMessageW(m_hList, WM_SETREDRAW, TRUE, 0);
    // Rows in view may have changed while the loop ran with drawing off (the focus, a host's message):
    // after such a spell they are drawn again; after a slice alone they are as they were.
    if (m_drawingHeldSince)
        ::InvalidateRect(m_hList, nullptr, FALSE);
    else if (viewUnchanged)
        ::ValidateRect(m_hList, nullptr);
    m_drawingHeldSince = 0;
}

bool CSlicedListFill::RowsInViewArrived() const {
    const LRESULT top = ::SendMessageW(m_hList, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = ::SendMessageW(m_hList, LB_GETITEMHEIGHT, 0, 0);
    RECT client;
    if (top == LB_ERR || height == LB_ERR || height <= 0 || !::GetClientRect(m_hList, &client))
        return false;
    const std::size_t inView = static_cast<std::size_t>((client.bottom - client.top) / height + 1);
    return m_next >= static_cast<std::size_t>(top) + inView;
}

void CSlicedListFill::ShowProgress() {
    std::wstring text = AfxLoadString(IDS_FILL_PROGRESS);
    AfxReplaceWithCount(text, L"%1", static_cast<long long>(m_next));
    AfxReplaceWithCount(text, L"%2", static_cast<long long>(m_total));
    ::SetWindowTextW(m_hWnd, text.c_str());
    m_progressShownAt = Now();
}

void CSlicedListFill::Finish() {
    // The list's drawing is still off: the measures, the last rows and the room given back bring its
    // scroll bars up to date once.
    TakeMeasures(true);
    m_finished = true;
    ::KillTimer(m_hWnd, kSliceTimer);
    ::KillTimer(m_hWnd, kPollTimer);
    ::DestroyWindow(m_hWnd);
    m_steps.lineGone();
    DrawListAgain(false);
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
