#include "Faults.h"

#include <new>

namespace robust {

// ---- TemplateFault ---------------------------------------------------------------------------------

namespace {

int g_templateLookups = 0;

HRSRC WINAPI FindNoResource(HMODULE, LPCWSTR, LPCWSTR, WORD) {
    ++g_templateLookups;
    ::SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

HGLOBAL WINAPI LoadNoResource(HMODULE, HRSRC) {
    ++g_templateLookups;
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

} // namespace

TemplateFault::TemplateFault(Where where) {
    g_templateLookups = 0;
    if (where == Where::FindResource)
        m_hook = std::make_unique<hook::ImportHook>("kernel32.dll", "FindResourceExW",
                                                    reinterpret_cast<void*>(&FindNoResource));
    else
        m_hook = std::make_unique<hook::ImportHook>("kernel32.dll", "LoadResource",
                                                    reinterpret_cast<void*>(&LoadNoResource));
}

TemplateFault::~TemplateFault() = default;

int TemplateFault::Calls() const {
    return g_templateLookups;
}

// ---- AllocationFault -------------------------------------------------------------------------------

namespace {

using Malloc = void* (*)(std::size_t);
using Calloc = void* (*)(std::size_t, std::size_t);
using Realloc = void* (*)(void*, std::size_t);

struct FaultState {
    DWORD thread = 0;
    bool armed = false;
    bool fired = false;
    long failAt = 0;
    bool andAfter = false;
    long counted = 0;
    long failed = 0;
    HWND armTarget = nullptr;
    UINT armMessage = 0;
    long pendingFailAt = 0;
    bool pendingAndAfter = false;
    Malloc malloc = nullptr;
    Calloc calloc = nullptr;
    Realloc realloc = nullptr;
};

FaultState g_fault;
thread_local bool t_uncounted = false;

// True when this allocation is the one to fail.
bool CountAndDecide() {
    if (!g_fault.armed || (g_fault.fired && !g_fault.andAfter) || t_uncounted ||
        ::GetCurrentThreadId() != g_fault.thread)
        return false;
    if (++g_fault.counted < g_fault.failAt)
        return false;
    g_fault.fired = true;
    ++g_fault.failed;
    return true;
}

void* FailingMalloc(std::size_t size) {
    return CountAndDecide() ? nullptr : g_fault.malloc(size);
}

void* FailingCalloc(std::size_t count, std::size_t size) {
    return CountAndDecide() ? nullptr : g_fault.calloc(count, size);
}

// Growing a block is an allocation; shrinking it or freeing it through realloc is not.
void* FailingRealloc(void* block, std::size_t size) {
    return size > 0 && CountAndDecide() ? nullptr : g_fault.realloc(block, size);
}

} // namespace

AllocationFault::AllocationFault() {
    g_fault = FaultState();
    g_fault.thread = ::GetCurrentThreadId();
    m_malloc =
        std::make_unique<hook::ImportHook>("msvcrt.dll", "malloc", reinterpret_cast<void*>(&FailingMalloc));
    g_fault.malloc = m_malloc->Original<Malloc>();
    m_calloc =
        std::make_unique<hook::ImportHook>("msvcrt.dll", "calloc", reinterpret_cast<void*>(&FailingCalloc));
    g_fault.calloc = m_calloc->Original<Calloc>();
    m_realloc =
        std::make_unique<hook::ImportHook>("msvcrt.dll", "realloc", reinterpret_cast<void*>(&FailingRealloc));
    g_fault.realloc = m_realloc->Original<Realloc>();
    m_messageHook =
        ::SetWindowsHookExA(WH_GETMESSAGE, &AllocationFault::GetMessageHook, nullptr, ::GetCurrentThreadId());
}

AllocationFault::~AllocationFault() {
    g_fault.armed = false;
    if (m_messageHook)
        ::UnhookWindowsHookEx(m_messageHook);
    m_realloc.reset();
    m_calloc.reset();
    m_malloc.reset();
}

bool AllocationFault::Installed() const {
    return m_malloc->Installed() && m_calloc->Installed() && m_realloc->Installed() &&
           m_messageHook != nullptr;
}

void AllocationFault::Arm(long failAt, bool andAfter) {
    g_fault.counted = 0;
    g_fault.failed = 0;
    g_fault.fired = false;
    g_fault.failAt = failAt;
    g_fault.andAfter = andAfter;
    g_fault.armed = true;
}

void AllocationFault::Disarm() {
    g_fault.armed = false;
    g_fault.armTarget = nullptr;
}

bool AllocationFault::Armed() const {
    return g_fault.armed;
}
long AllocationFault::Counted() const {
    return g_fault.counted;
}
bool AllocationFault::Fired() const {
    return g_fault.fired;
}

AllocationFault::Uncounted::Uncounted() : m_previous(t_uncounted) {
    t_uncounted = true;
}
AllocationFault::Uncounted::~Uncounted() {
    t_uncounted = m_previous;
}

void AllocationFault::ArmWhenRetrieved(HWND target, UINT message, long failAt, bool andAfter) {
    g_fault.armTarget = target;
    g_fault.armMessage = message;
    g_fault.pendingFailAt = failAt;
    g_fault.pendingAndAfter = andAfter;
}

LRESULT CALLBACK AllocationFault::GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && g_fault.armTarget) {
        const MSG* message = reinterpret_cast<const MSG*>(lParam);
        if (message->hwnd == g_fault.armTarget && message->message == g_fault.armMessage) {
            g_fault.armTarget = nullptr;
            g_fault.counted = 0;
            g_fault.failed = 0;
            g_fault.fired = false;
            g_fault.failAt = g_fault.pendingFailAt;
            g_fault.andAfter = g_fault.pendingAndAfter;
            g_fault.armed = true;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace robust
