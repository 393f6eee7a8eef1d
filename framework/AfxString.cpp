#include "AfxString.h"

#include <cstring>

CString& CString::operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
}

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength())
        m_text.resize(static_cast<size_t>(minLength));
    return &m_text[0];
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0 || static_cast<size_t>(newLength) > m_text.size())
        newLength = static_cast<int>(strnlen(m_text.c_str(), m_text.size()));
    m_text.resize(static_cast<size_t>(newLength));
}
