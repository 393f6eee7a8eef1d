// Faults injected into corvel.dll from outside, by swapping entries of its import table (ImportHook.h).
#ifndef CORVEL_TESTS_ROBUSTNESS_FAULTS_H
#define CORVEL_TESTS_ROBUSTNESS_FAULTS_H

#include "NoCopy.h"
#include "ImportHook.h"

#include <windows.h>

#include <memory>

namespace robust {

// While it lives, corvel.dll cannot load a dialog template: its FindResourceA finds nothing, or its
// LoadResource loads nothing.
class TemplateFault {
public:
    enum class Where { FindResource, LoadResource };
    explicit TemplateFault(Where where);
    ~TemplateFault();
    bool Installed() const { return m_hook && m_hook->Installed(); }
    int Calls() const;

private:
    std::unique_ptr<hook::ImportHook> m_hook;
};

// Fails an allocation made for corvel.dll on this thread: the `failAt`-th one counted from Arm() on (and,
// if asked, every later one). Counted are corvel.dll's own operator new (plain and nothrow: the nodes of its
// sets and maps, its wrappers) and the C++ runtime's malloc, which serves the strings the library has the
// runtime build for it (std::string's members live in libstdc++-6.dll), and corvel.dll's own malloc, which
// serves the blocks the C functions hand to the host. One allocation is one count: a plain
// new that the runtime serves with malloc is not counted twice. The failure is what memory exhaustion looks
// like: std::bad_alloc from operator new, null from the nothrow form and from malloc.
class AllocationFault : NoCopy {
public:
    AllocationFault();
    ~AllocationFault();

    bool Installed() const;
    // Fails allocation `failAt`, or with `andAfter` that one and every later one: memory that has run out
    // stays out, so whatever handles the first failure must do so without allocating.
    void Arm(long failAt, bool andAfter = false);
    void Disarm();
    bool Armed() const;
    // Allocations counted since Arm(), and whether the failure was injected.
    long Counted() const;
    bool Fired() const;

    // Arms the fault when this thread takes `message` for `target` out of its queue: the moment a
    // posted click or key starts being processed.
    void ArmWhenRetrieved(HWND target, UINT message, long failAt, bool andAfter = false);

    // Inside this scope the thread's allocations are neither counted nor failed: for the test's own code
    // that runs while the fault is armed (hooks, closers).
    class Uncounted : NoCopy {
    public:
        Uncounted();
        ~Uncounted();

    private:
        bool m_previous;
    };

private:
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<hook::ImportHook> m_new;
    std::unique_ptr<hook::ImportHook> m_newNothrow;
    std::unique_ptr<hook::ImportHook> m_malloc;
    std::unique_ptr<hook::ImportHook> m_ownMalloc;
    HHOOK m_messageHook = nullptr;
};

} // namespace robust

#endif // CORVEL_TESTS_ROBUSTNESS_FAULTS_H
