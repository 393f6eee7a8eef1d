// CString: the framework's narrow string. A text is always NUL-terminated; building one from a
// std::string keeps the characters up to its first NUL, as the edit controls would show them.
#ifndef CORVEL_AFX_STRING_H
#define CORVEL_AFX_STRING_H

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}

    CString& operator=(const char* text);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }

    // Room for `minLength` characters plus the terminator; ReleaseBuffer cuts at the first NUL
    // (or at `newLength` when given).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_text;
};

#endif // CORVEL_AFX_STRING_H
