// Temporary wrappers (CWnd::FromHandle of handles nobody attached) live on a per-thread stack; a call
// that made some releases them on its way out.
#ifndef CORVEL_AFX_TEMPORARIES_H
#define CORVEL_AFX_TEMPORARIES_H

#include <cstddef>

std::size_t AfxTemporaryMark();
void AfxReleaseTemporaries(std::size_t mark);
// How many temporary wrappers this thread holds now.
std::size_t AfxTemporaryCount();

#endif // CORVEL_AFX_TEMPORARIES_H
