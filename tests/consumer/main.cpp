// A host built only from the installed SDK: it renames through the library and accepts the dialog.
#include <corvel/corvel.h>

#include <cstdio>

namespace {
void CALLBACK PressOk(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND dialog = ::FindWindowA("#32770", "Rename Options"))
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}
} // namespace

int main() {
    std::string newName = "b.txt", existing = "C:\\a.txt";
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &PressOk);
    const int result = CorvelDoRenameOptions(newName, existing, nullptr);
    ::KillTimer(nullptr, timer);
    std::printf("result %d, newName %s, existingFile %s\n", result, newName.c_str(), existing.c_str());
    return result == 1 && newName == "b.txt" && existing == "C:\\a.txt" ? 0 : 1;
}
