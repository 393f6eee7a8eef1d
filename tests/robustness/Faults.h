// Faults injected into corvel.dll from outside, by swapping entries of its import table (ImportHook.h).
#ifndef CORVEL_TESTS_ROBUSTNESS_FAULTS_H
#define CORVEL_TESTS_ROBUSTNESS_FAULTS_H

#include "NoCopy.h"
#include "ImportHook.h"

#include <windows.h>

#include <memory>

namespace robust {

// While it lives, corvel.dll cannot load a dialog template: its FindResourceExW finds nothing, or its
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

// Fails an allocation made by corvel.dll on this thread: the `failAt`-th one counted from Arm() on (and, if
// asked, every later one). corvel.dll carries its C++ runtime, so every allocation it makes goes through its
// imports of the C runtime's malloc, calloc and realloc: the nodes of its sets and maps and its strings
// (operator new serves them with malloc) as well as the blocks the C functions hand to the host. The failure
// is what memory exhaustion looks like: null from the C runtime, and so std::bad_alloc from operator new.
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

    std::unique_ptr<hook::ImportHook> m_malloc;
    std::unique_ptr<hook::ImportHook> m_calloc;
    std::unique_ptr<hook::ImportHook> m_realloc;
    HHOOK m_messageHook = nullptr;
};

} // namespace robust

#endif // CORVEL_TESTS_ROBUSTNESS_FAULTS_H
