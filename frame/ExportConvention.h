// What every export does around its worker: the library's module state is current for the length of
// the call (and the previous one restored on every way out), and `int&` flags travel as booleans.
#ifndef CORVEL_EXPORT_CONVENTION_H
#define CORVEL_EXPORT_CONVENTION_H

#include "AfxModuleState.h"

#define CORVEL_ENTER_EXPORT() AFX_MAINTAIN_STATE2 corvelModuleStateGuard(AfxGetStaticModuleState())

inline bool FlagToBool(int flag) {
    return flag != 0;
}
inline void StoreFlag(int& flag, bool value) {
    flag = value ? 1 : 0;
}

#endif // CORVEL_EXPORT_CONVENTION_H
