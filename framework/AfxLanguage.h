// Which of the module's languages a resource is shown in, and the module's strings in that language.
//
// The language follows the calling thread's user-interface language (GetThreadUILanguage), as the
// system's own dialogs do: that language exactly; then a named stand-in (Chinese of Singapore reads
// Simplified, of Hong Kong and Macao Traditional, Norwegian Nynorsk reads Bokmål); then the same language
// in another region or script, by locale name ("sr-Cyrl-RS" finds "sr-Latn-RS", "fr-CA" finds "fr-FR");
// then English (United States). Nothing is read from files, the registry or the environment.
#ifndef CORVEL_AFX_LANGUAGE_H
#define CORVEL_AFX_LANGUAGE_H

#include <windows.h>

#include <string>

// The language out of the `count` languages `available` (in the module's order) for a thread whose
// user-interface language is `wanted`; 0 when there are none.
LANGID AfxChooseLanguage(LANGID wanted, const LANGID* available, size_t count);

// The language the resource `name` of `type` is taken in for this thread; 0 when the module lacks it.
LANGID AfxGetResourceLanguage(HMODULE hModule, LPCWSTR type, LPCWSTR name);

// The resource `name` of `type` in this thread's language (FindResourceEx with the chosen language).
HRSRC AfxFindResource(HMODULE hModule, LPCWSTR name, LPCWSTR type);

// The string `nID` of the resource module in this thread's language; empty when there is none.
std::wstring AfxLoadString(UINT nID);

// Reading order in a dialog that the language mirrors (WS_EX_LAYOUTRTL, which its controls inherit).
// A path reads left to right in any language: the box is not mirrored and reads left to right. Free text
// in a mirrored dialog reads right to left. Neither changes anything in a dialog that is not mirrored.
void AfxShowLeftToRight(HWND hControl);
void AfxReadRightToLeft(HWND hEdit);

#endif // CORVEL_AFX_LANGUAGE_H
