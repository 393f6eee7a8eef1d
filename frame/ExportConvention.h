// What every export does around its worker: the library's module state is current for the length of
// the call (and the previous one restored on every way out), and `int&` flags travel as booleans.
#ifndef CORVEL_EXPORT_CONVENTION_H
#define CORVEL_EXPORT_CONVENTION_H

#include "AfxAppearance.h"
#include "AfxModuleState.h"
#include "AfxText.h"
#include "frame/HostExceptions.h"

// Gives the calling thread all the state the library keeps per thread (see AfxInitThreadState): once for
// the thread that loads the library, and at the start of every call for threads that existed before.
void CorvelInitThreadState();

// The C++ exports speak the ANSI code page, the C ones UTF-8 (AfxText.h); set per call, so that a call
// nested in a host callback of the other interface gets its own.
#define CORVEL_ENTER_EXPORT_WITH_TEXTS(codePage)                                                             \
    CorvelInitThreadState();                                                                                 \
    AFX_MAINTAIN_STATE2 corvelModuleStateGuard(AfxGetStaticModuleState());                                   \
    CTextCodePageScope corvelTextCodePage(codePage)
// The C++ interface follows the system's appearance, also when called inside a C host's choice
// (corvel_with_options).
#define CORVEL_ENTER_EXPORT()                                                                                \
    CORVEL_ENTER_EXPORT_WITH_TEXTS(CP_ACP);                                                                  \
    CAppearanceScope corvelAppearance(AfxAppearance::kSystem)

inline bool FlagToBool(int flag) {
    return flag != 0;
}
inline void StoreFlag(int& flag, bool value) {
    flag = value ? 1 : 0;
}

#endif // CORVEL_EXPORT_CONVENTION_H
