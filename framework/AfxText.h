// The code page of the narrow texts that windows exchange with the library's callers, and the calls that
// cross between those texts and the platform's windows.
//
// The C++ exports speak the ANSI code page (CP_ACP): their windows are ANSI windows and every text
// crosses with the same "A" call as ever, so they behave byte for byte as before. The C exports speak
// UTF-8 (CP_UTF8): their windows are Unicode windows and texts are converted at each crossing. A window
// wrapper takes the thread's current code page when it is made, so a dialog and its controls keep theirs
// even while a nested call of the other kind runs.
#ifndef CORVEL_AFX_TEXT_H
#define CORVEL_AFX_TEXT_H

#include <windows.h>

#include <string>

class CString;

UINT AfxGetTextCodePage();
// Part of AfxInitThreadState.
void AfxInitTextThreadState();

// Makes `codePage` current on this thread until the end of the scope.
class CTextCodePageScope {
public:
    explicit CTextCodePageScope(UINT codePage);
    ~CTextCodePageScope();
    CTextCodePageScope(const CTextCodePageScope&) = delete;
    CTextCodePageScope& operator=(const CTextCodePageScope&) = delete;

private:
    UINT m_nPrevious;
};

// `text` up to its first NUL (or its first `length` bytes), as UTF-16.
std::wstring AfxWideFromText(const char* text, UINT codePage, int length = -1);
// `length` UTF-16 units of `text` as a narrow text in `codePage`.
std::string AfxTextFromWide(const wchar_t* text, int length, UINT codePage);

// Window texts and list rows in a caller's code page.
void AfxSetWindowText(HWND hWnd, const char* text, UINT codePage);
void AfxGetWindowText(HWND hWnd, CString& text, UINT codePage);
// A window's text as UTF-16, whatever the window's character set.
std::wstring AfxGetWindowTextW(HWND hWnd);
LRESULT AfxInsertListString(HWND hList, int index, const char* text, UINT codePage);

// Replaces the first `marker` ("%1") in `text` with `value`, its digits grouped by the user's thousands
// separator.
void AfxReplaceWithCount(std::wstring& text, const wchar_t* marker, long long value);

#endif // CORVEL_AFX_TEXT_H
