/* A C host built only from the installed SDK through corvel::c: it renames through the C interface with
 * UTF-8 texts and accepts the dialog. */
#include <corvel/corvel_c.h>
#include <windows.h>

#include <stdio.h>
#include <string.h>

static void CALLBACK PressOk(HWND window, UINT message, UINT_PTR id, DWORD time) {
    HWND dialog = FindWindowA("#32770", "Rename Options");
    (void)window, (void)message, (void)id, (void)time;
    if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

int main(void) {
    const char* existing = "C:\\\xCE\xB1.txt"; /* C:\α.txt */
    char* new_existing = NULL;
    char* new_name = NULL;
    const UINT_PTR timer = SetTimer(NULL, 0, 50, PressOk);
    const int result = corvel_rename_options(existing, "\xCE\xB2.txt", NULL, &new_existing, &new_name);
    int ok;
    KillTimer(NULL, timer);
    ok = result == CORVEL_OK && strcmp(new_existing, existing) == 0 && strcmp(new_name, "\xCE\xB2.txt") == 0;
    printf("C host: result %d, %s\n", result, ok ? "texts back byte for byte" : "texts changed");
    corvel_release(new_existing);
    corvel_release(new_name);
    return ok ? 0 : 1;
}
