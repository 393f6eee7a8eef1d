// Characters that let a path read as something it is not: those that change the direction of the text
// around them (U+202E makes "invoice\u202Efdp.exe" read "invoice exe.pdf"), those that show nothing
// (U+200B makes "a\u200Bb.c" read "ab.c"), and control and format characters. File systems accept them,
// so paths keep them; what the user sees and hears names them instead.
//
// The set: Unicode's Default_Ignorable_Code_Point property, the general categories Cc (C0, DEL, C1) and
// Cf (format), and the line and paragraph separators, as of Unicode 15. It includes every bidirectional
// control (U+061C, U+200E-U+200F, U+202A-U+202E, U+2066-U+2069).
#ifndef CORVEL_HIDDEN_CHARACTERS_H
#define CORVEL_HIDDEN_CHARACTERS_H

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// True for a character of the set above.
bool IsHiddenCharacter(char32_t code);

// Whether a text holds any such character: UTF-16, or bytes in `codePage` (CP_ACP, CP_UTF8, ...).
bool HasHiddenCharacters(const wchar_t* text, std::size_t length);
bool HasHiddenCharacters(const char* text, UINT codePage);

// A text cut where hidden characters stand: runs of ordinary text, and each hidden character alone
// (a supplementary one spans two UTF-16 units).
struct TextPiece {
    std::size_t start;
    std::size_t length;
    char32_t hidden; // the hidden character, or 0xFFFFFFFF for a run of ordinary text
};
constexpr char32_t kOrdinaryText = 0xFFFFFFFF;
std::vector<TextPiece> SplitAtHiddenCharacters(const std::wstring& text);

// The short name shown in place of a hidden character: "RLO", "ZWSP", "VS17", else "U+0007".
std::wstring HiddenCharacterMarker(char32_t code);
// The text with each hidden character replaced by its marker in angle brackets, "<RLO>": brackets a
// file name cannot hold, so no real name can pass for a marker.
std::wstring ShowHiddenCharacters(const std::wstring& text);
// What the text holds, in the user's language, each character once in order of first appearance:
// "a right-to-left override (U+202E), a zero width space (U+200B)". Empty for none.
std::wstring DescribeHiddenCharacters(const std::wstring& text);
// That description put into the string `format`'s "%1" ("contains %1"); empty for none.
std::wstring WarnOfHiddenCharacters(const std::wstring& text, UINT format);

#endif // CORVEL_HIDDEN_CHARACTERS_H
