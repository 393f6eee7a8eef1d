// Exceptions between a C++ host and the library, which carries a C++ runtime of its own (linked in, so
// that it loads from any folder and never binds to another module's runtime DLLs).
//
// On x64 exceptions travel through the system's unwinder (SEH), which knows every module's frames, so two
// runtimes in one process throw and catch across each other. On 32-bit x86 each GCC runtime has an unwinder
// of its own that knows only the frames registered with it (DWARF-2 tables). There the library
// - keeps its own frames registered with its own unwinder, whatever runtime DLLs the process has loaded;
// - registers them with the unwinder of the C++ host that calls it, so that what the host object throws
//   reaches the dialog's handler;
// - answers memory exhaustion by throwing the host's own std::bad_alloc, which the host's unwinder carries
//   into the host's frames.
#ifndef CORVEL_HOST_EXCEPTIONS_H
#define CORVEL_HOST_EXCEPTIONS_H

#include <new>

#if defined(__i386__) && !defined(__SEH__) && !defined(__USING_SJLJ_EXCEPTIONS__)
#define CORVEL_DWARF_UNWINDING 1
#else
#define CORVEL_DWARF_UNWINDING 0
#endif

namespace corvel {

// At load and unload, from the entry point: the library's own unwinder and its frames.
void PrepareLibraryUnwinding();
void ReleaseLibraryUnwinding(bool processEnding);

// At load: the C++ runtime throws from a small reserve of its own when memory has run out, behind a lock that
// the threads library makes on first use, with memory. Without memory then, the lock fails and its failure is
// thrown from the reserve again, until the stack overflows. Taking the reserve once now makes the lock while
// there is memory.
void PrepareExceptionReserve();

#if CORVEL_DWARF_UNWINDING
// Registers the library's frames with the unwinder of the module that made the call at `returnAddress`
// (once per unwinder), so that the caller's exceptions pass through them.
void PrepareHostUnwinding(void* returnAddress);
// Throws std::bad_alloc as the caller's C++ runtime would, so that the caller's handlers catch it.
[[noreturn]] void ThrowBadAllocToHost(void* returnAddress);

template <typename Body> bool RunCatchingOutOfMemory(Body& body, int& result) {
    try {
        result = body();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
#endif

// Runs a C++ export's body for the host whose call returns to `returnAddress`. This frame has nothing to
// clean up, so the host's unwinder passes it without the library's.
template <typename Body> int RunForCxxHost(void* returnAddress, Body&& body) {
#if CORVEL_DWARF_UNWINDING
    PrepareHostUnwinding(returnAddress);
    int result = 0;
    if (!RunCatchingOutOfMemory(body, result))
        ThrowBadAllocToHost(returnAddress);
    return result;
#else
    (void)returnAddress;
    return body();
#endif
}

} // namespace corvel

// The body of a C++ export: `corvel::RunForCxxHost` with the export's own return address.
#define CORVEL_CXX_EXPORT(body) corvel::RunForCxxHost(__builtin_return_address(0), body)

#endif // CORVEL_HOST_EXCEPTIONS_H
