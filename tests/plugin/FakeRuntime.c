/* Another plug-in's DLL, copied under the names of the mingw-w64 runtime DLLs: it exports nothing that
 * corvel.dll or a C++ runtime would need, and imports nothing (no start-up code that could look for a DLL
 * of those names, which would then be itself). */
__declspec(dllexport) int other_plugin_marker(void) {
    return 42;
}

int __stdcall FakeRuntimeEntry(void* instance, unsigned long reason, void* reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return 1;
}
