#include "AfxLanguage.h"

#include "AfxModuleState.h"

#include <algorithm>
#include <cwchar>

namespace {

// Locales whose own language the module may lack, read in a sibling the system would offer instead.
struct StandIn {
    const wchar_t* locale;
    const wchar_t* instead;
};
const StandIn kStandIns[] = {
    {L"zh-SG", L"zh-CN"},   {L"zh-Hans", L"zh-CN"}, {L"zh-HK", L"zh-TW"}, {L"zh-MO", L"zh-TW"},
    {L"zh-Hant", L"zh-TW"}, {L"nn-NO", L"nb-NO"},   {L"no", L"nb-NO"},    {L"nn", L"nb-NO"},
};

// Everything here works in fixed buffers: a dialog must still open, or report the lack of memory
// itself, when memory runs out.
struct LocaleName {
    wchar_t text[LOCALE_NAME_MAX_LENGTH] = L"";
    explicit LocaleName(LANGID language) {
        if (!::LCIDToLocaleName(MAKELCID(language, SORT_DEFAULT), text, LOCALE_NAME_MAX_LENGTH,
                                LOCALE_ALLOW_NEUTRAL_NAMES))
            text[0] = L'\0';
    }
};

bool SameName(const wchar_t* a, const wchar_t* b, int length = -1) {
    return ::CompareStringOrdinal(a, length, b, length, TRUE) == CSTR_EQUAL;
}

// `name` is the first `length` characters of `prefix`, or starts with them and a hyphen.
bool IsWithin(const wchar_t* name, const wchar_t* prefix, size_t length) {
    return std::wcslen(name) >= length && SameName(name, prefix, static_cast<int>(length)) &&
           (name[length] == L'\0' || name[length] == L'-');
}

struct Languages {
    LANGID ids[128];
    size_t count = 0;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    Languages& languages = *reinterpret_cast<Languages*>(param);
    if (languages.count < sizeof languages.ids / sizeof languages.ids[0])
        languages.ids[languages.count++] = language;
    return TRUE;
}

} // namespace

LANGID AfxChooseLanguage(LANGID wanted, const LANGID* available, size_t count) {
    if (count == 0)
        return 0;
    const LANGID* end = available + count;
    if (std::find(available, end, wanted) != end)
        return wanted;

    auto named = [&](const wchar_t* name) -> LANGID {
        for (const LANGID* language = available; language != end; ++language)
            if (SameName(LocaleName(*language).text, name))
                return *language;
        return 0;
    };
    LocaleName name(wanted);
    if (name.text[0])
        for (const StandIn& standIn : kStandIns)
            if (SameName(name.text, standIn.locale))
                if (LANGID found = named(standIn.instead))
                    return found;
    // Shorter and shorter: "sr-Cyrl-RS", "sr-Cyrl", "sr"; the first language within each.
    for (size_t length = std::wcslen(name.text); length > 0;) {
        for (const LANGID* language = available; language != end; ++language)
            if (IsWithin(LocaleName(*language).text, name.text, length))
                return *language;
        while (length > 0 && name.text[--length] != L'-') {
        }
    }
    const LANGID english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    return std::find(available, end, english) != end ? english : available[0];
}

LANGID AfxGetResourceLanguage(HMODULE hModule, LPCWSTR type, LPCWSTR name) {
    Languages languages;
    ::EnumResourceLanguagesW(hModule, type, name, &CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return AfxChooseLanguage(::GetThreadUILanguage(), languages.ids, languages.count);
}

HRSRC AfxFindResource(HMODULE hModule, LPCWSTR name, LPCWSTR type) {
    const LANGID language = AfxGetResourceLanguage(hModule, type, name);
    return language ? ::FindResourceExW(hModule, type, name, language) : nullptr;
}

std::wstring AfxLoadString(UINT nID) {
    // Strings are stored sixteen to a block, each as its length and its characters.
    HMODULE hModule = AfxGetResourceHandle();
    HRSRC hBlock =
        AfxFindResource(hModule, MAKEINTRESOURCEW(nID / 16 + 1), MAKEINTRESOURCEW(6) /* RT_STRING */);
    HGLOBAL hData = hBlock ? ::LoadResource(hModule, hBlock) : nullptr;
    const WCHAR* entry = hData ? static_cast<const WCHAR*>(::LockResource(hData)) : nullptr;
    if (!entry)
        return std::wstring();
    const WCHAR* end = entry + ::SizeofResource(hModule, hBlock) / sizeof(WCHAR);
    for (UINT i = 0; i < nID % 16 && entry < end; ++i)
        entry += 1 + *entry;
    if (entry >= end || entry + 1 + *entry > end)
        return std::wstring();
    return std::wstring(entry + 1, *entry);
}

namespace {

bool IsInMirroredWindow(HWND hControl) {
    HWND parent = ::GetParent(hControl);
    return parent && (::GetWindowLongPtrW(parent, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
}

void SetExtendedStyle(HWND hWnd, LONG_PTR clear, LONG_PTR set) {
    const LONG_PTR style = ::GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hWnd, GWL_EXSTYLE, (style & ~clear) | set);
    ::InvalidateRect(hWnd, nullptr, TRUE);
}

} // namespace

void AfxShowLeftToRight(HWND hControl) {
    if (hControl && IsInMirroredWindow(hControl))
        SetExtendedStyle(hControl, WS_EX_LAYOUTRTL | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR, 0);
}

void AfxReadRightToLeft(HWND hEdit) {
    if (hEdit && IsInMirroredWindow(hEdit))
        SetExtendedStyle(hEdit, 0, WS_EX_RTLREADING);
}
