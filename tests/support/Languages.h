// The languages corvel.dll speaks, and a stand-in for the host's choice of the thread's user-interface
// language (SetThreadUILanguage, which Wine does not implement).
#ifndef CORVEL_TESTS_LANGUAGES_H
#define CORVEL_TESTS_LANGUAGES_H

#include "ImportHook.h"

#include <ostream>
#include <vector>

namespace lang {

struct Language {
    LANGID id;
    const char* tag;
    bool rightToLeft;
    friend void PrintTo(const Language& language, std::ostream* out) { *out << language.tag; }
};

// Every language, English (United States) first.
const std::vector<Language>& Shipped();

// While it lives, corvel.dll's GetThreadUILanguage answers `language`.
class AsUserInterfaceLanguage {
public:
    explicit AsUserInterfaceLanguage(LANGID language);

private:
    hook::ImportHook m_hook;
};

} // namespace lang

#endif // CORVEL_TESTS_LANGUAGES_H
