// CSlicedListFill: fills a long check list while its dialog is already up, and is the line above the list
// that says how far it is ("412,000 of 1,000,000 files").
//
// What must be known before the first row can go in (the rows' order) is worked out on a thread of its
// own, so the dialog shows at once, its list empty; what can wait (the widest text) is worked out there
// next, while the rows arrive. The rows arrive in their final order in slices run from the dialog's own
// message loop, on a timer: a slice appends rows for a frame's time, or until input waits. The loop delivers
// a timer only when no input or painting waits, so a keystroke waits for one slice at most and the new rows
// are painted between slices; and since a slice lasts at least the timer's period, the next one is due as
// soon as the loop is free, which keeps the rows' cost close to filling the list in one go.
//
// When the last row is in, the line goes, the list takes its room back and is no longer busy.
#ifndef CORVEL_SLICED_LIST_FILL_H
#define CORVEL_SLICED_LIST_FILL_H

#include "AfxWnd.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>

class CSlicedListFill : public CWnd {
public:
    struct Steps {
        // On the thread of its own; gives up soon once `stop` is set. The rows go in once it is done.
        std::function<void(const std::atomic<bool>& stop)> prepare;
        // Then on the same thread, while the rows arrive; gives up soon once `stop` is set.
        std::function<void(const std::atomic<bool>& stop)> measure;
        // Appends rows [from, to), each the next in order.
        std::function<void(std::size_t from, std::size_t to)> append;
        // Back on the dialog's thread once `measure` is done, between slices, before `finished` at the
        // latest.
        std::function<void()> measured;
        // The last row is in and the line is gone; the list is not drawn until this returns.
        std::function<void()> lineGone;
        // Then, the list drawn again.
        std::function<void()> finished;
    };

    CSlicedListFill(std::size_t total, Steps steps);
    ~CSlicedListFill() override;

    // Makes the line at `place` in the dialog's client area, after `insertAfter` in the window order, and
    // starts the work. False when there is no line or no thread to be had: nothing has started.
    bool Start(HWND dialog, HWND list, const RECT& place, HWND insertAfter);
    // Appends every remaining row now, waiting for the thread first.
    void Complete();
    // Stops the thread and waits for it; no more rows arrive.
    void Stop();
    // After Stop: what the thread threw, if it threw before its work was taken up.
    void RethrowFailure() const {
        if (m_failure && !m_prepared)
            std::rethrow_exception(m_failure);
        if (m_measureFailure && !m_measured)
            std::rethrow_exception(m_measureFailure);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static DWORD WINAPI RunPrepare(void* parameter);
    void OnPrepared();
    // Takes up the measures once the thread has ended; waits for it when `wait`.
    void TakeMeasures(bool wait);
    void RunSlice();
    // Every row the list shows now has arrived.
    // Turns the list's drawing back on, which brings its scroll bar up to date.
    void DrawListAgain(bool viewUnchanged);
    bool RowsInViewArrived() const;
    void ShowProgress();
    void Finish();

    std::size_t m_total;
    std::size_t m_next = 0;
    Steps m_steps;
    HWND m_hList = nullptr;
    HWND m_hLine = nullptr; // for the thread, which must not read m_hWnd
    HANDLE m_hThread = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_prepareDone{false};
    std::exception_ptr m_failure;        // from `prepare`
    std::exception_ptr m_measureFailure; // from `measure`, read once the thread has ended
    bool m_prepared = false;
    bool m_measured = false;
    bool m_finished = false;
    LONGLONG m_sliceTicks = 0;
    LONGLONG m_longestSliceTicks = 0;
    LONGLONG m_inputCheckTicks = 0;
    LONGLONG m_progressShownAt = 0;
    LONGLONG m_progressEvery = 0;
    // Drawing left off between slices since then (0: on), and how long it may stay so.
    LONGLONG m_drawingHeldSince = 0;
    LONGLONG m_holdDrawingFor = 0;
};

#endif // CORVEL_SLICED_LIST_FILL_H
