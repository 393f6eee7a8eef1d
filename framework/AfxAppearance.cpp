#include "AfxAppearance.h"

#include "AfxModuleState.h"

namespace {

thread_local AfxAppearance t_choice = AfxAppearance::kSystem;

// The first build whose uxtheme.dll exports ShouldAppsUseDarkMode as ordinal 132: before it the ordinal
// is missing or another function's.
constexpr DWORD kFirstDarkModeBuild = 17763;
// The first build that takes the caption attribute as 20, the number the SDK documents.
constexpr DWORD kFirstDocumentedCaptionBuild = 19041;

} // namespace

CAppearanceScope::CAppearanceScope(AfxAppearance appearance) : m_previous(t_choice) {
    t_choice = appearance;
}

CAppearanceScope::~CAppearanceScope() {
    t_choice = m_previous;
}

AfxAppearance AfxGetAppearanceChoice() {
    return t_choice;
}

void AfxInitAppearanceThreadState() {
    AfxTouchThreadLocal(t_choice);
}

bool AfxIsHighContrast() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

DWORD AfxWindowsBuild() {
    // GetVersionEx answers what the calling program's manifest claims to know; RtlGetVersion the truth.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto getVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                                        reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                                  : nullptr;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!getVersion || getVersion(&version) != 0)
        return 0;
    return version.dwMajorVersion >= 10 ? version.dwBuildNumber : 0;
}

bool AfxSystemAppsUseDarkMode() {
    if (AfxWindowsBuild() < kFirstDarkModeBuild)
        return false;
    // Loaded already: the library imports uxtheme.dll for its themed drawing.
    HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    using ShouldAppsUseDarkModeFn = BOOLEAN(WINAPI*)();
    const auto shouldAppsUseDarkMode =
        uxtheme ? reinterpret_cast<ShouldAppsUseDarkModeFn>(
                      reinterpret_cast<void*>(::GetProcAddress(uxtheme, MAKEINTRESOURCEA(132))))
                : nullptr;
    return shouldAppsUseDarkMode && shouldAppsUseDarkMode();
}

bool AfxUseDarkColors() {
    if (AfxIsHighContrast())
        return false;
    switch (t_choice) {
    case AfxAppearance::kLight:
        return false;
    case AfxAppearance::kDark:
        return true;
    default:
        return AfxSystemAppsUseDarkMode();
    }
}

DWORD AfxDarkCaptionAttribute(DWORD build) {
    if (build >= kFirstDocumentedCaptionBuild)
        return 20;
    return build >= kFirstDarkModeBuild ? 19 : 0;
}
