// Just enough JSON for the demo's output. Texts are in the ANSI code page and come out as UTF-8.
#ifndef CORVEL_DEMO_JSON_H
#define CORVEL_DEMO_JSON_H

#include <set>
#include <string>

class JsonObject {
public:
    JsonObject& Add(const char* name, const std::string& value);
    JsonObject& Add(const char* name, int value);
    JsonObject& Add(const char* name, const std::set<std::string>& values);
    std::string Text() const { return "{" + m_members + "}"; }

private:
    void Name(const char* name);
    std::string m_members;
};

std::string JsonString(const std::string& ansiText);
// A text that is UTF-8 already.
std::string JsonUtf8String(const std::string& utf8Text);

#endif // CORVEL_DEMO_JSON_H
