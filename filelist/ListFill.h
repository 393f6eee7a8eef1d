// What filling a sorted list box with many paths needs, done in bulk: the order in which one
// LB_ADDSTRING per path would leave them, and the width of the widest.
#ifndef CORVEL_LIST_FILL_H
#define CORVEL_LIST_FILL_H

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <vector>

// The order (indices into `texts`) in which a sorted list box with strings would hold these texts if
// each were added on its own: the list box compares with CompareStringW(locale, NORM_IGNORECASE), and
// the platform's sort keys order strings exactly as that comparison does. Texts that compare equal (paths
// equal but for case) keep their order in `texts`. The texts are in `codePage`. Once `stop` is set the
// work gives up soon and the answer is empty.
std::vector<std::size_t> OrderLikeSortedListBox(const std::vector<const char*>& texts, LCID locale,
                                                UINT codePage = CP_ACP,
                                                const std::atomic<bool>* stop = nullptr);

// The width in pixels of the widest text as GetTextExtentPoint32A measures it in `dc`'s font (for texts
// in another code page than the ANSI one, GetTextExtentPoint32W of their UTF-16 form). Once `stop` is set
// the work gives up soon, its answer meaningless.
int WidestTextWidth(HDC dc, const std::vector<const char*>& texts, UINT codePage = CP_ACP,
                    const std::atomic<bool>* stop = nullptr);

#endif // CORVEL_LIST_FILL_H
