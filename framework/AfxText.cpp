#include "AfxText.h"

#include "AfxModuleState.h"
#include "AfxString.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {
thread_local UINT t_textCodePage = CP_ACP;
}

void AfxInitTextThreadState() {
    AfxTouchThreadLocal(t_textCodePage);
}

UINT AfxGetTextCodePage() {
    return t_textCodePage;
}

CTextCodePageScope::CTextCodePageScope(UINT codePage) : m_nPrevious(t_textCodePage) {
    t_textCodePage = codePage;
}

CTextCodePageScope::~CTextCodePageScope() {
    t_textCodePage = m_nPrevious;
}

std::wstring AfxWideFromText(const char* text, UINT codePage, int length) {
    if (!text)
        return std::wstring();
    const int bytes = length < 0 ? static_cast<int>(std::strlen(text)) : length;
    std::wstring wide;
    if (bytes == 0)
        return wide;
    const int units = ::MultiByteToWideChar(codePage, 0, text, bytes, nullptr, 0);
    if (units <= 0)
        return wide;
    wide.resize(static_cast<size_t>(units));
    ::MultiByteToWideChar(codePage, 0, text, bytes, &wide[0], units);
    return wide;
}

std::string AfxTextFromWide(const wchar_t* text, int length, UINT codePage) {
    std::string narrow;
    if (!text || length <= 0)
        return narrow;
    const int bytes = ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return narrow;
    narrow.resize(static_cast<size_t>(bytes));
    ::WideCharToMultiByte(codePage, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
    return narrow;
}

void AfxSetWindowText(HWND hWnd, const char* text, UINT codePage) {
    if (codePage == CP_ACP)
        ::SetWindowTextA(hWnd, text);
    else
        ::SetWindowTextW(hWnd, AfxWideFromText(text, codePage).c_str());
}

void AfxGetWindowText(HWND hWnd, CString& text, UINT codePage) {
    if (codePage == CP_ACP) {
        const int length = ::GetWindowTextLengthA(hWnd);
        char* buffer = text.GetBuffer(length + 1);
        const int copied = ::GetWindowTextA(hWnd, buffer, length + 1);
        text.ReleaseBuffer(copied > 0 ? copied : 0);
        return;
    }
    const int length = ::GetWindowTextLengthW(hWnd);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(hWnd, &wide[0], length + 1);
    text = AfxTextFromWide(wide.c_str(), copied > 0 ? copied : 0, codePage).c_str();
}

std::wstring AfxGetWindowTextW(HWND hWnd) {
    std::wstring text(static_cast<size_t>(std::max(::GetWindowTextLengthW(hWnd), 0)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(std::max(::GetWindowTextW(hWnd, &text[0], static_cast<int>(text.size())), 0)));
    return text;
}

LRESULT AfxInsertListString(HWND hList, int index, const char* text, UINT codePage) {
    if (codePage == CP_ACP)
        return ::SendMessageA(hList, LB_INSERTSTRING, static_cast<WPARAM>(index),
                              reinterpret_cast<LPARAM>(text));
    const std::wstring wide = AfxWideFromText(text, codePage);
    return ::SendMessageW(hList, LB_INSERTSTRING, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(wide.c_str()));
}

void AfxReplaceWithCount(std::wstring& text, const wchar_t* marker, long long value) {
    const size_t at = text.find(marker);
    if (at == std::wstring::npos)
        return;
    wchar_t separator[8] = L",";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
    const std::wstring digits = std::to_wstring(value < 0 ? 0 : value);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    text.replace(at, std::wcslen(marker), grouped);
}
