// Temporary wrappers (CWnd::FromHandle of handles nobody attached) live on a per-thread stack; a call
// that made some releases them on its way out.
#ifndef CORVEL_AFX_TEMPORARIES_H
#define CORVEL_AFX_TEMPORARIES_H

#include <cstddef>

// How many temporary wrappers this thread holds now: the mark to release down to at the end of a call.
std::size_t AfxTemporaryMark();
void AfxReleaseTemporaries(std::size_t mark);
// The window wrappers' part of AfxInitThreadState.
void AfxInitWindowThreadState();

#endif // CORVEL_AFX_TEMPORARIES_H
