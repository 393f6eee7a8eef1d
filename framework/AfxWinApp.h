// The application object of a module, and the framework's standard entry for a DLL that uses it.
#ifndef CORVEL_AFX_WIN_APP_H
#define CORVEL_AFX_WIN_APP_H

#include "AfxWnd.h"

class CWinApp : public CCmdTarget {
public:
    // With no name, the module's file name (without extension) names the application, for example
    // in the captions of message boxes.
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* m_pszAppName;
};

// What the module's DllMain does for the framework.
BOOL AfxDllProcessAttach(HINSTANCE hInstance);
void AfxDllProcessDetach();
void AfxDllThreadDetach();

#endif // CORVEL_AFX_WIN_APP_H
