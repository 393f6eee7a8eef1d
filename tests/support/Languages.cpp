#include "Languages.h"

namespace lang {

const std::vector<Language>& Shipped() {
    static const std::vector<Language> languages = {
        {0x0409, "en-US", false}, {0x0401, "ar-SA", true},       {0x0402, "bg-BG", false},
        {0x0404, "zh-TW", false}, {0x0405, "cs-CZ", false},      {0x0406, "da-DK", false},
        {0x0407, "de-DE", false}, {0x0408, "el-GR", false},      {0x040b, "fi-FI", false},
        {0x040c, "fr-FR", false}, {0x040d, "he-IL", true},       {0x040e, "hu-HU", false},
        {0x0410, "it-IT", false}, {0x0411, "ja-JP", false},      {0x0412, "ko-KR", false},
        {0x0413, "nl-NL", false}, {0x0414, "nb-NO", false},      {0x0415, "pl-PL", false},
        {0x0416, "pt-BR", false}, {0x0418, "ro-RO", false},      {0x0419, "ru-RU", false},
        {0x041a, "hr-HR", false}, {0x041b, "sk-SK", false},      {0x041d, "sv-SE", false},
        {0x041e, "th-TH", false}, {0x041f, "tr-TR", false},      {0x0422, "uk-UA", false},
        {0x0424, "sl-SI", false}, {0x0425, "et-EE", false},      {0x0426, "lv-LV", false},
        {0x0427, "lt-LT", false}, {0x0804, "zh-CN", false},      {0x0816, "pt-PT", false},
        {0x0c0a, "es-ES", false}, {0x241a, "sr-Latn-RS", false},
    };
    return languages;
}

namespace {
LANGID g_language = 0;
LANGID WINAPI Answer() {
    return g_language;
}
} // namespace

AsUserInterfaceLanguage::AsUserInterfaceLanguage(LANGID language)
    : m_hook("kernel32.dll", "GetThreadUILanguage", reinterpret_cast<void*>(&Answer)) {
    g_language = language;
}

} // namespace lang
