#include "TaskThread.h"

#include <utility>

bool CTaskThread::Start(std::function<void()> work) {
    if (m_started)
        return false;
    m_work = std::move(work);
    m_hThread = ::CreateThread(nullptr, 0, &CTaskThread::Run, this, 0, nullptr);
    m_started = m_hThread != nullptr;
    return m_started;
}

DWORD WINAPI CTaskThread::Run(void* parameter) {
    CTaskThread& self = *static_cast<CTaskThread*>(parameter);
    try {
        self.m_work();
    } catch (...) {
        self.m_failure = std::current_exception();
    }
    return 0;
}

void CTaskThread::Join() {
    if (!m_hThread)
        return;
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}
