// Redirects one module's calls of one imported function, by swapping the entry of that module's import
// address table. Only the calls that this module makes are affected; every other module (the test
// program, the runtime DLLs, Wine) keeps calling the real function.
#ifndef CORVEL_TESTS_IMPORT_HOOK_H
#define CORVEL_TESTS_IMPORT_HOOK_H

#include "NoCopy.h"
#include <windows.h>

namespace hook {

// The import address table slot through which `module` calls `dll`!`function` (the DLL name compared
// without regard to case), or null when the module does not import it by name.
void** FindImportSlot(HMODULE module, const char* dll, const char* function);

// The slot is pointed at `replacement` for the hook's lifetime and restored by its destructor. Hooks of
// the same slot must be undone in the reverse order of their making.
class ImportHook : NoCopy {
public:
    ImportHook(HMODULE module, const char* dll, const char* function, void* replacement);
    // The same, in the DLL that the library under test is: corvel.dll.
    ImportHook(const char* dll, const char* function, void* replacement);
    ~ImportHook();

    // False when the module does not import the function: nothing was changed.
    bool Installed() const { return m_slot != nullptr; }
    // What the module called before: the function a replacement passes calls on to.
    void* Original() const { return m_original; }
    template <typename Function> Function Original() const { return reinterpret_cast<Function>(m_original); }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

// corvel.dll, loaded by the test program (null when it is not loaded).
HMODULE LibraryUnderTest();

} // namespace hook

#endif // CORVEL_TESTS_IMPORT_HOOK_H
