// What a run of calls costs the process, measured from outside the library.
//
// Under Wine, GetGuiResources answers 0 and PROCESS_MEMORY_COUNTERS_EX::PrivateUsage stays 0, so these
// meters use what does follow the library: the C runtime heap (every operator new, std::string and
// std::set of corvel.dll and of the C++ runtime it shares with the host ends up there), the committed
// private bytes of the process (from VirtualQuery), the windows of this thread, and a ledger of the device contexts
// and GDI objects that corvel.dll itself borrows and creates, kept by hooking its imports.
#ifndef CORVEL_TESTS_ROBUSTNESS_METERS_H
#define CORVEL_TESTS_ROBUSTNESS_METERS_H

#include "NoCopy.h"
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace robust {

struct Usage {
    long long heapBytes = 0;  // C runtime heap: bytes in blocks in use
    long long heapBlocks = 0; // C runtime heap: blocks in use
    long long committed = 0;  // committed private bytes of the process
    long long windows = 0;    // windows of this thread, child windows included
};

Usage MeasureUsage();

// For as long as it lives, every device context and GDI object that corvel.dll obtains through the
// functions below is entered when obtained and struck out when given back. Only corvel.dll's own calls
// are seen: the controls of a dialog draw with Wine's resources, which are Wine's business.
//   Device contexts: GetDC, GetWindowDC, GetDCEx and BeginPaint against ReleaseDC and EndPaint;
//                    CreateCompatibleDC, CreateDCA and CreateICA against DeleteDC.
//   GDI objects:     CreateFont*, Create*Bitmap*, CreateDIBSection, Create*Brush*, CreatePen*,
//                    ExtCreatePen, Create*Rgn*, LoadBitmapA against DeleteObject.
// A borrowed device context must also come back with the font, brush, pen and bitmap it was lent with
// selected, or the next user of the window's context draws with an object that may be gone.
// Keeping the ledger allocates nothing, so it can run beside an AllocationFault (Faults.h).
class GdiLedger : NoCopy {
public:
    GdiLedger();
    ~GdiLedger();

    struct Counts {
        long dcsObtained = 0;
        long dcsGivenBack = 0;
        long objectsCreated = 0;
        long objectsDeleted = 0;
        long dcsGivenBackChanged = 0; // given back with another object still selected
        long unknownGiveBacks = 0;    // released or deleted something the library did not obtain
        long mostDcsAtOnce = 0;
        long tableFull = 0; // more at once than the ledger can hold: its figures are then incomplete
    };
    Counts Now() const;
    long OutstandingDcs() const;
    long OutstandingObjects() const;
    // The watched functions that corvel.dll imports, and so are counted.
    std::vector<std::string> Hooked() const;
};

} // namespace robust

#endif // CORVEL_TESTS_ROBUSTNESS_METERS_H
