// The library's application object.
#ifndef CORVEL_CORVEL_APP_H
#define CORVEL_CORVEL_APP_H

#include "AfxWinApp.h"

class CCorvelApp : public CWinApp {
public:
    CCorvelApp();

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_CORVEL_APP_H
