#include "ImportHook.h"

#include <cstring>

namespace hook {

namespace {

void WriteSlot(void** slot, void* value) {
    DWORD oldProtection = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
}

} // namespace

void** FindImportSlot(HMODULE module, const char* dll, const char* function) {
    if (!module)
        return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

ImportHook::ImportHook(HMODULE module, const char* dll, const char* function, void* replacement)
    : m_slot(FindImportSlot(module, dll, function)) {
    if (!m_slot)
        return;
    m_original = *m_slot;
    WriteSlot(m_slot, replacement);
}

ImportHook::ImportHook(const char* dll, const char* function, void* replacement)
    : ImportHook(LibraryUnderTest(), dll, function, replacement) {}

ImportHook::~ImportHook() {
    if (m_slot)
        WriteSlot(m_slot, m_original);
}

HMODULE LibraryUnderTest() {
    return ::GetModuleHandleA("corvel.dll");
}

} // namespace hook
