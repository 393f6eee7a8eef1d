#include "Faults.h"

#include <new>

namespace robust {

// ---- TemplateFault ---------------------------------------------------------------------------------

namespace {

int g_templateLookups = 0;

HRSRC WINAPI FindNoResource(HMODULE, LPCSTR, LPCSTR) {
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
        m_hook = std::make_unique<hook::ImportHook>("kernel32.dll", "FindResourceA",
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

using PlainNew = void* (*)(std::size_t);
using NothrowNew = void* (*)(std::size_t, const std::nothrow_t&);
using Malloc = void* (*)(std::size_t);

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
    PlainNew plainNew = nullptr;
    NothrowNew nothrowNew = nullptr;
    Malloc malloc = nullptr;
    Malloc ownMalloc = nullptr;
};

FaultState g_fault;
// Inside a counted operator new: the runtime's malloc beneath it is the same allocation.
thread_local bool t_insideNew = false;
thread_local bool t_uncounted = false;

// True when this allocation is the one to fail.
bool CountAndDecide() {
    if (!g_fault.armed || (g_fault.fired && !g_fault.andAfter) || t_insideNew || t_uncounted ||
        ::GetCurrentThreadId() != g_fault.thread)
        return false;
    if (++g_fault.counted < g_fault.failAt)
        return false;
    g_fault.fired = true;
    ++g_fault.failed;
    return true;
}

struct InsideNew {
    bool previous = t_insideNew;
    InsideNew() { t_insideNew = true; }
    ~InsideNew() { t_insideNew = previous; }
};

void* FailingNew(std::size_t size) {
    if (CountAndDecide())
        throw std::bad_alloc();
    InsideNew inside;
    return g_fault.plainNew(size);
}

void* FailingNothrowNew(std::size_t size, const std::nothrow_t& tag) {
    if (CountAndDecide())
        return nullptr;
    InsideNew inside;
    return g_fault.nothrowNew(size, tag);
}

void* FailingMalloc(std::size_t size) {
    if (CountAndDecide())
        return nullptr;
    return g_fault.malloc(size);
}

// corvel.dll's own malloc: the C functions' result blocks.
void* FailingOwnMalloc(std::size_t size) {
    if (CountAndDecide())
        return nullptr;
    return g_fault.ownMalloc(size);
}

} // namespace

// operator new(std::size_t): std::size_t mangles as unsigned int on i686 and unsigned long long on x86_64.
#ifdef _WIN64
#define CORVEL_SIZE_MANGLING "y"
#else
#define CORVEL_SIZE_MANGLING "j"
#endif

AllocationFault::AllocationFault() {
    g_fault = FaultState();
    g_fault.thread = ::GetCurrentThreadId();
    m_new = std::make_unique<hook::ImportHook>("libstdc++-6.dll", "_Znw" CORVEL_SIZE_MANGLING,
                                               reinterpret_cast<void*>(&FailingNew));
    g_fault.plainNew = m_new->Original<PlainNew>();
    m_newNothrow =
        std::make_unique<hook::ImportHook>("libstdc++-6.dll", "_Znw" CORVEL_SIZE_MANGLING "RKSt9nothrow_t",
                                           reinterpret_cast<void*>(&FailingNothrowNew));
    g_fault.nothrowNew = m_newNothrow->Original<NothrowNew>();
    m_malloc = std::make_unique<hook::ImportHook>(::GetModuleHandleA("libstdc++-6.dll"), "msvcrt.dll",
                                                  "malloc", reinterpret_cast<void*>(&FailingMalloc));
    g_fault.malloc = m_malloc->Original<Malloc>();
    m_ownMalloc = std::make_unique<hook::ImportHook>("msvcrt.dll", "malloc",
                                                     reinterpret_cast<void*>(&FailingOwnMalloc));
    g_fault.ownMalloc = m_ownMalloc->Original<Malloc>();
    m_messageHook =
        ::SetWindowsHookExA(WH_GETMESSAGE, &AllocationFault::GetMessageHook, nullptr, ::GetCurrentThreadId());
}

AllocationFault::~AllocationFault() {
    g_fault.armed = false;
    if (m_messageHook)
        ::UnhookWindowsHookEx(m_messageHook);
    m_ownMalloc.reset();
    m_malloc.reset();
    m_newNothrow.reset();
    m_new.reset();
}

bool AllocationFault::Installed() const {
    return m_new->Installed() && m_malloc->Installed() && m_ownMalloc->Installed() &&
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
