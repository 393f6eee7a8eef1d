#include "HostExceptions.h"

#include <cxxabi.h>

#include <cstddef>

// Every malloc of the DLL's code and of the runtime linked into it comes here (the link wraps malloc).
extern "C" void* __real_malloc(std::size_t size);
namespace {
int g_allocationsToRefuse = 0;
}
extern "C" void* __wrap_malloc(std::size_t size) {
    if (g_allocationsToRefuse > 0) {
        --g_allocationsToRefuse;
        return nullptr;
    }
    return __real_malloc(size);
}

void corvel::PrepareExceptionReserve() {
    // Only the exception's own block is refused: the reserve answers, and makes its lock on the way.
    g_allocationsToRefuse = 1;
    void* exception = abi::__cxa_allocate_exception(sizeof(int));
    g_allocationsToRefuse = 0;
    abi::__cxa_free_exception(exception);
}

#if CORVEL_DWARF_UNWINDING

#include <windows.h>

#include <unwind.h>

extern "C" {
// libgcc's registry of DWARF-2 frame tables (the copy linked into this DLL).
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
const void* _Unwind_Find_FDE(void* pc, void* bases);
// The start of this DLL's .eh_frame section, defined at link time.
extern const char corvel_eh_frame_start[];
}

namespace corvel {
namespace {

// What an unwinder keeps of a registered table: libgcc's `struct object`, six words in GCC 12; room for more.
struct FrameObject {
    void* words[16];
};
// What _Unwind_Find_FDE fills in besides its answer.
struct FdeBases {
    void* text;
    void* data;
    void* function;
};

using RegisterFrameInfo = void (*)(const void*, void*);
using DeregisterFrameInfo = void* (*)(const void*);
using FindFde = const void* (*)(void*, void*);

FrameObject g_ownObject;
bool g_ownRegistered = false;

// Other unwinders (host runtimes' libgcc DLLs) that know this DLL's frames because it told them; each one
// is kept loaded until the library unloads.
struct HostUnwinder {
    HMODULE module;
    DeregisterFrameInfo deregister;
    FrameObject object;
};
constexpr int kMaxHostUnwinders = 4;
HostUnwinder g_hostUnwinders[kMaxHostUnwinders];
int g_hostUnwinderCount = 0;
SRWLOCK g_hostUnwindersLock = SRWLOCK_INIT;

void* OwnCode() {
    return reinterpret_cast<void*>(&PrepareLibraryUnwinding);
}

_Unwind_Reason_Code StopAtOnce(_Unwind_Context*, void*) {
    return _URC_END_OF_STACK;
}

HMODULE ModuleAt(const void* address) {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         static_cast<LPCWSTR>(address), &module);
    return module;
}

// An export of `module` as what it is: a function of type T, or data.
template <typename T> T Exported(HMODULE module, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// The module that `module` reaches for `name` through its imports, directly or through one module it
// imports (a program imports __cxa_throw from the C++ runtime, which imports the unwinder). Each import is
// followed to the module the loader bound it to. Nothing is allocated: it runs when memory has run out.
HMODULE ImportedExporter(HMODULE module, const char* name, int depth) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    if (!module || reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    HMODULE bound[64];
    int count = 0;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         imports.VirtualAddress && descriptor->Name && count < 64; ++descriptor) {
        void* const* first = reinterpret_cast<void* const*>(base + descriptor->FirstThunk);
        if (HMODULE imported = *first ? ModuleAt(*first) : nullptr; imported && imported != module)
            bound[count++] = imported;
    }
    for (int i = 0; i < count; ++i)
        if (::GetProcAddress(bound[i], name))
            return bound[i];
    for (int i = 0; i < count && depth > 0; ++i)
        if (HMODULE found = ImportedExporter(bound[i], name, depth - 1))
            return found;
    return nullptr;
}

} // namespace

void PrepareLibraryUnwinding() {
    // The start-up code registers this DLL's frames with a DLL named libgcc_s_dw2-1.dll when the process has
    // one loaded, instead of with the unwinder linked in here, which the library's own throws use.
    FdeBases bases;
    if (!_Unwind_Find_FDE(OwnCode(), &bases)) {
        __register_frame_info(corvel_eh_frame_start, &g_ownObject);
        g_ownRegistered = true;
    }
    // A host's unwinder calls this DLL's personality routine, which reads and writes the host's unwind
    // context through the accessors linked in here; they need the register-size table that the first unwind
    // fills in.
    _Unwind_Backtrace(&StopAtOnce, nullptr);
}

void ReleaseLibraryUnwinding(bool processEnding) {
    if (!processEnding)
        for (int i = 0; i < g_hostUnwinderCount; ++i) {
            g_hostUnwinders[i].deregister(corvel_eh_frame_start);
            ::FreeLibrary(g_hostUnwinders[i].module);
        }
    g_hostUnwinderCount = 0;
    if (g_ownRegistered)
        __deregister_frame_info(corvel_eh_frame_start);
    g_ownRegistered = false;
}

void PrepareHostUnwinding(void* returnAddress) {
    HMODULE unwinder = ImportedExporter(ModuleAt(returnAddress), "_Unwind_Find_FDE", 1);
    if (!unwinder)
        return;
    const auto find = Exported<FindFde>(unwinder, "_Unwind_Find_FDE");
    const auto add = Exported<RegisterFrameInfo>(unwinder, "__register_frame_info");
    const auto remove = Exported<DeregisterFrameInfo>(unwinder, "__deregister_frame_info");
    if (!add || !remove)
        return;
    ::AcquireSRWLockExclusive(&g_hostUnwindersLock);
    FdeBases bases;
    HMODULE pinned = nullptr;
    if (!find(OwnCode(), &bases) && g_hostUnwinderCount < kMaxHostUnwinders &&
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(add),
                             &pinned)) {
        HostUnwinder& registration = g_hostUnwinders[g_hostUnwinderCount++];
        registration.module = pinned;
        registration.deregister = remove;
        add(corvel_eh_frame_start, &registration.object);
    }
    ::ReleaseSRWLockExclusive(&g_hostUnwindersLock);
}

void ThrowBadAllocToHost(void* returnAddress) {
    using Allocate = void* (*)(std::size_t);
    using Throw = void (*)(void*, void*, void (*)(void*));
    HMODULE runtime = ImportedExporter(ModuleAt(returnAddress), "__cxa_throw", 1);
    if (runtime) {
        const auto allocate = Exported<Allocate>(runtime, "__cxa_allocate_exception");
        const auto raise = Exported<Throw>(runtime, "__cxa_throw");
        void* type = Exported<void*>(runtime, "_ZTISt9bad_alloc");
        void** vtable = Exported<void**>(runtime, "_ZTVSt9bad_alloc");
        const auto destroy = Exported<void (*)(void*)>(runtime, "_ZNSt9bad_allocD1Ev");
        if (allocate && raise && type && vtable && destroy) {
            // The host's std::bad_alloc: one pointer, to its vtable's functions (past the offset and the
            // type).
            void** object = static_cast<void**>(allocate(sizeof(void*)));
            *object = vtable + 2;
            raise(object, type, destroy);
        }
    }
    // A caller without a C++ runtime DLL of its own: the library's runtime throws.
    throw std::bad_alloc();
}

} // namespace corvel

#else

namespace corvel {
// With SEH every module's frames are known to the system's unwinder: nothing to prepare.
void PrepareLibraryUnwinding() {}
void ReleaseLibraryUnwinding(bool) {}
} // namespace corvel

#endif
