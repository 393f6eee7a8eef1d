#include "Json.h"

#include <windows.h>

#include <cstdio>

std::string JsonString(const std::string& ansiText) {
    // ANSI bytes to UTF-16 to UTF-8; a NUL inside the text is kept as \u0000.
    std::wstring wide(ansiText.size(), L'\0');
    if (!ansiText.empty())
        wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, ansiText.data(),
                                                              static_cast<int>(ansiText.size()), &wide[0],
                                                              static_cast<int>(wide.size()))));
    std::string out = "\"";
    for (wchar_t c : wide) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            char utf8[8];
            const int n = ::WideCharToMultiByte(CP_UTF8, 0, &c, 1, utf8, sizeof utf8, nullptr, nullptr);
            out.append(utf8, static_cast<size_t>(n > 0 ? n : 0));
        }
    }
    return out + "\"";
}

std::string JsonUtf8String(const std::string& utf8Text) {
    std::string out = "\"";
    for (char c : utf8Text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonObject::Name(const char* name) {
    if (!m_members.empty())
        m_members += ", ";
    m_members += JsonString(name) + ": ";
}

JsonObject& JsonObject::Add(const char* name, const std::string& value) {
    Name(name);
    m_members += JsonString(value);
    return *this;
}

JsonObject& JsonObject::Add(const char* name, int value) {
    Name(name);
    m_members += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::Add(const char* name, const std::set<std::string>& values) {
    Name(name);
    m_members += "[";
    bool first = true;
    for (const std::string& value : values) {
        m_members += (first ? "" : ", ") + JsonString(value);
        first = false;
    }
    m_members += "]";
    return *this;
}
