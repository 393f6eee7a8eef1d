// CTaskThread: one piece of work done on a thread of its own while the caller goes on.
#ifndef CORVEL_TASK_THREAD_H
#define CORVEL_TASK_THREAD_H

#include <windows.h>

#include <exception>
#include <functional>

class CTaskThread {
public:
    CTaskThread() = default;
    CTaskThread(const CTaskThread&) = delete;
    CTaskThread& operator=(const CTaskThread&) = delete;
    ~CTaskThread() { Join(); }

    // Starts the work; false when no thread was to be had, and the work has not run.
    bool Start(std::function<void()> work);
    // Whether the work was started, done or not.
    bool Started() const { return m_started; }
    // Waits until the work is done, then hands on what it threw.
    void Wait() {
        Join();
        if (m_failure)
            std::rethrow_exception(m_failure);
    }
    // Waits until the work is done; what it threw is left for Wait.
    void Join();

private:
    static DWORD WINAPI Run(void* parameter);

    std::function<void()> m_work;
    std::exception_ptr m_failure;
    HANDLE m_hThread = nullptr;
    bool m_started = false;
};

#endif // CORVEL_TASK_THREAD_H
