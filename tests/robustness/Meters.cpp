#include "Meters.h"

#include "ImportHook.h"

#include <malloc.h>

#include <array>
#include <cstring>
#include <memory>

namespace robust {

// ---- Usage -----------------------------------------------------------------------------------------

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM context) {
    ++*reinterpret_cast<long long*>(context);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM context) {
    ++*reinterpret_cast<long long*>(context);
    ::EnumChildWindows(hwnd, &CountChild, context);
    return TRUE;
}

} // namespace

Usage MeasureUsage() {
    Usage usage;
    _HEAPINFO entry = {};
    int status;
    while ((status = _heapwalk(&entry)) == _HEAPOK) {
        if (entry._useflag == _USEDENTRY) {
            usage.heapBytes += static_cast<long long>(entry._size);
            ++usage.heapBlocks;
        }
    }
    // Committed private memory as the process's own view of its address space has it. The process
    // counters (PagefileUsage) would do natively, but where 32-bit programs run through an emulator they
    // count the emulator's own memory too, which grows as it translates code.
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            usage.committed += static_cast<long long>(region.RegionSize);
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountTopLevel, reinterpret_cast<LPARAM>(&usage.windows));
    return usage;
}

// ---- GdiLedger -------------------------------------------------------------------------------------

namespace {

// Fixed tables, so that keeping the ledger allocates nothing: it can run beside an allocation fault.
struct Lent {
    HDC hdc = nullptr;
    long count = 0;
    std::array<HGDIOBJ, 4> selected = {};
};

struct Made {
    HGDIOBJ object = nullptr;
    long count = 0;
};

struct LedgerState {
    GdiLedger::Counts counts;
    std::array<Lent, 64> dcs;
    std::array<Made, 256> objects;
};

LedgerState* g_state = nullptr;

constexpr UINT kSelectable[] = {OBJ_FONT, OBJ_BRUSH, OBJ_PEN, OBJ_BITMAP};

std::array<HGDIOBJ, 4> SelectedIn(HDC hdc) {
    std::array<HGDIOBJ, 4> selected = {};
    for (size_t i = 0; i < selected.size(); ++i)
        selected[i] = ::GetCurrentObject(hdc, kSelectable[i]);
    return selected;
}

// The entry for `key`, or a free one when `add`; null, and `misses` counted, when there is none.
template <typename Entry, typename Key, size_t N>
Entry* Find(std::array<Entry, N>& table, Key key, bool add, Key Entry::*field, long& misses) {
    Entry* free = nullptr;
    for (Entry& entry : table) {
        if (entry.count > 0 && entry.*field == key)
            return &entry;
        if (!free && entry.count == 0)
            free = &entry;
    }
    Entry* found = add ? free : nullptr;
    misses += found ? 0 : 1;
    return found;
}

void Obtained(HDC hdc) {
    Lent* lent =
        hdc && g_state ? Find(g_state->dcs, hdc, true, &Lent::hdc, g_state->counts.tableFull) : nullptr;
    if (!lent)
        return;
    if (lent->count++ == 0) {
        lent->hdc = hdc;
        lent->selected = SelectedIn(hdc);
    }
    ++g_state->counts.dcsObtained;
    long outstanding = g_state->counts.dcsObtained - g_state->counts.dcsGivenBack;
    if (outstanding > g_state->counts.mostDcsAtOnce)
        g_state->counts.mostDcsAtOnce = outstanding;
}

// Called before the context goes back, while what is selected in it can still be read.
void GivingBack(HDC hdc) {
    Lent* lent =
        g_state ? Find(g_state->dcs, hdc, false, &Lent::hdc, g_state->counts.unknownGiveBacks) : nullptr;
    if (!lent)
        return;
    if (SelectedIn(hdc) != lent->selected)
        ++g_state->counts.dcsGivenBackChanged;
    ++g_state->counts.dcsGivenBack;
    --lent->count;
}

void Created(HGDIOBJ object) {
    Made* made = object && g_state
                     ? Find(g_state->objects, object, true, &Made::object, g_state->counts.tableFull)
                     : nullptr;
    if (!made)
        return;
    made->object = object;
    ++made->count;
    ++g_state->counts.objectsCreated;
}

void Deleting(HGDIOBJ object) {
    Made* made = g_state
                     ? Find(g_state->objects, object, false, &Made::object, g_state->counts.unknownGiveBacks)
                     : nullptr;
    if (!made)
        return;
    ++g_state->counts.objectsDeleted;
    --made->count;
}

struct Watched {
    const char* dll;
    const char* name;
    void* replacement;
    void* original;
};

Watched* FindWatched(const char* name);

template <typename Function> Function OriginalOf(const char* name) {
    return reinterpret_cast<Function>(FindWatched(name)->original);
}

#define CORVEL_LEDGER_OBTAIN_DC(name, params, args)                                                          \
    HDC WINAPI Hook_##name params {                                                                          \
        HDC obtained = OriginalOf<decltype(&::name)>(#name) args;                                            \
        Obtained(obtained);                                                                                  \
        return obtained;                                                                                     \
    }
#define CORVEL_LEDGER_CREATE(type, name, params, args)                                                       \
    type WINAPI Hook_##name params {                                                                         \
        type object = OriginalOf<decltype(&::name)>(#name) args;                                             \
        Created(object);                                                                                     \
        return object;                                                                                       \
    }

CORVEL_LEDGER_OBTAIN_DC(GetDC, (HWND hwnd), (hwnd))
CORVEL_LEDGER_OBTAIN_DC(GetWindowDC, (HWND hwnd), (hwnd))
CORVEL_LEDGER_OBTAIN_DC(GetDCEx, (HWND hwnd, HRGN clip, DWORD flags), (hwnd, clip, flags))
CORVEL_LEDGER_OBTAIN_DC(BeginPaint, (HWND hwnd, LPPAINTSTRUCT paint), (hwnd, paint))
CORVEL_LEDGER_OBTAIN_DC(CreateCompatibleDC, (HDC like), (like))
CORVEL_LEDGER_OBTAIN_DC(CreateDCA, (LPCSTR d, LPCSTR e, LPCSTR o, const DEVMODEA* m), (d, e, o, m))
CORVEL_LEDGER_OBTAIN_DC(CreateICA, (LPCSTR d, LPCSTR e, LPCSTR o, const DEVMODEA* m), (d, e, o, m))

int WINAPI Hook_ReleaseDC(HWND hwnd, HDC hdc) {
    GivingBack(hdc);
    return OriginalOf<decltype(&::ReleaseDC)>("ReleaseDC")(hwnd, hdc);
}

BOOL WINAPI Hook_EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    GivingBack(paint->hdc);
    return OriginalOf<decltype(&::EndPaint)>("EndPaint")(hwnd, paint);
}

BOOL WINAPI Hook_DeleteDC(HDC hdc) {
    GivingBack(hdc);
    return OriginalOf<decltype(&::DeleteDC)>("DeleteDC")(hdc);
}

BOOL WINAPI Hook_DeleteObject(HGDIOBJ object) {
    Deleting(object);
    return OriginalOf<decltype(&::DeleteObject)>("DeleteObject")(object);
}

CORVEL_LEDGER_CREATE(HFONT, CreateFontA,
                     (int h, int w, int e, int o, int wt, DWORD i, DWORD u, DWORD s, DWORD c, DWORD op,
                      DWORD cp, DWORD q, DWORD pf, LPCSTR face),
                     (h, w, e, o, wt, i, u, s, c, op, cp, q, pf, face))
CORVEL_LEDGER_CREATE(HFONT, CreateFontIndirectA, (const LOGFONTA* font), (font))
CORVEL_LEDGER_CREATE(HFONT, CreateFontIndirectExA, (const ENUMLOGFONTEXDVA* font), (font))
CORVEL_LEDGER_CREATE(HBITMAP, CreateCompatibleBitmap, (HDC hdc, int w, int h), (hdc, w, h))
CORVEL_LEDGER_CREATE(HBITMAP, CreateBitmap, (int w, int h, UINT p, UINT b, const void* bits),
                     (w, h, p, b, bits))
CORVEL_LEDGER_CREATE(HBITMAP, CreateBitmapIndirect, (const BITMAP* bitmap), (bitmap))
CORVEL_LEDGER_CREATE(HBITMAP, CreateDIBitmap,
                     (HDC hdc, const BITMAPINFOHEADER* h, DWORD f, const void* b, const BITMAPINFO* i,
                      UINT u),
                     (hdc, h, f, b, i, u))
CORVEL_LEDGER_CREATE(HBITMAP, CreateDIBSection,
                     (HDC hdc, const BITMAPINFO* i, UINT u, void** b, HANDLE s, DWORD o),
                     (hdc, i, u, b, s, o))
CORVEL_LEDGER_CREATE(HBITMAP, LoadBitmapA, (HINSTANCE instance, LPCSTR name), (instance, name))
CORVEL_LEDGER_CREATE(HBRUSH, CreateSolidBrush, (COLORREF color), (color))
CORVEL_LEDGER_CREATE(HBRUSH, CreateHatchBrush, (int hatch, COLORREF color), (hatch, color))
CORVEL_LEDGER_CREATE(HBRUSH, CreatePatternBrush, (HBITMAP bitmap), (bitmap))
CORVEL_LEDGER_CREATE(HBRUSH, CreateBrushIndirect, (const LOGBRUSH* brush), (brush))
CORVEL_LEDGER_CREATE(HPEN, CreatePen, (int style, int width, COLORREF color), (style, width, color))
CORVEL_LEDGER_CREATE(HPEN, CreatePenIndirect, (const LOGPEN* pen), (pen))
CORVEL_LEDGER_CREATE(HPEN, ExtCreatePen, (DWORD s, DWORD w, const LOGBRUSH* b, DWORD n, const DWORD* st),
                     (s, w, b, n, st))
CORVEL_LEDGER_CREATE(HRGN, CreateRectRgn, (int l, int t, int r, int b), (l, t, r, b))
CORVEL_LEDGER_CREATE(HRGN, CreateRectRgnIndirect, (const RECT* rect), (rect))
CORVEL_LEDGER_CREATE(HRGN, CreateRoundRectRgn, (int l, int t, int r, int b, int w, int h), (l, t, r, b, w, h))
CORVEL_LEDGER_CREATE(HRGN, CreateEllipticRgn, (int l, int t, int r, int b), (l, t, r, b))
CORVEL_LEDGER_CREATE(HRGN, CreatePolygonRgn, (const POINT* points, int count, int mode),
                     (points, count, mode))

#undef CORVEL_LEDGER_OBTAIN_DC
#undef CORVEL_LEDGER_CREATE

#define CORVEL_WATCH(dll, name)                                                                              \
    { dll, #name, reinterpret_cast<void*>(&Hook_##name), nullptr }

Watched g_watched[] = {
    CORVEL_WATCH("user32.dll", GetDC),
    CORVEL_WATCH("user32.dll", GetWindowDC),
    CORVEL_WATCH("user32.dll", GetDCEx),
    CORVEL_WATCH("user32.dll", BeginPaint),
    CORVEL_WATCH("user32.dll", ReleaseDC),
    CORVEL_WATCH("user32.dll", EndPaint),
    CORVEL_WATCH("user32.dll", LoadBitmapA),
    CORVEL_WATCH("gdi32.dll", CreateCompatibleDC),
    CORVEL_WATCH("gdi32.dll", CreateDCA),
    CORVEL_WATCH("gdi32.dll", CreateICA),
    CORVEL_WATCH("gdi32.dll", DeleteDC),
    CORVEL_WATCH("gdi32.dll", DeleteObject),
    CORVEL_WATCH("gdi32.dll", CreateFontA),
    CORVEL_WATCH("gdi32.dll", CreateFontIndirectA),
    CORVEL_WATCH("gdi32.dll", CreateFontIndirectExA),
    CORVEL_WATCH("gdi32.dll", CreateCompatibleBitmap),
    CORVEL_WATCH("gdi32.dll", CreateBitmap),
    CORVEL_WATCH("gdi32.dll", CreateBitmapIndirect),
    CORVEL_WATCH("gdi32.dll", CreateDIBitmap),
    CORVEL_WATCH("gdi32.dll", CreateDIBSection),
    CORVEL_WATCH("gdi32.dll", CreateSolidBrush),
    CORVEL_WATCH("gdi32.dll", CreateHatchBrush),
    CORVEL_WATCH("gdi32.dll", CreatePatternBrush),
    CORVEL_WATCH("gdi32.dll", CreateBrushIndirect),
    CORVEL_WATCH("gdi32.dll", CreatePen),
    CORVEL_WATCH("gdi32.dll", CreatePenIndirect),
    CORVEL_WATCH("gdi32.dll", ExtCreatePen),
    CORVEL_WATCH("gdi32.dll", CreateRectRgn),
    CORVEL_WATCH("gdi32.dll", CreateRectRgnIndirect),
    CORVEL_WATCH("gdi32.dll", CreateRoundRectRgn),
    CORVEL_WATCH("gdi32.dll", CreateEllipticRgn),
    CORVEL_WATCH("gdi32.dll", CreatePolygonRgn),
};

#undef CORVEL_WATCH

Watched* FindWatched(const char* name) {
    for (Watched& watched : g_watched)
        if (std::strcmp(watched.name, name) == 0)
            return &watched;
    return nullptr;
}

std::vector<std::unique_ptr<hook::ImportHook>>* g_hooks = nullptr;

} // namespace

GdiLedger::GdiLedger() {
    g_state = new LedgerState();
    g_hooks = new std::vector<std::unique_ptr<hook::ImportHook>>();
    for (Watched& watched : g_watched) {
        auto hooked = std::make_unique<hook::ImportHook>(watched.dll, watched.name, watched.replacement);
        if (!hooked->Installed())
            continue;
        watched.original = hooked->Original();
        g_hooks->push_back(std::move(hooked));
    }
}

GdiLedger::~GdiLedger() {
    while (!g_hooks->empty())
        g_hooks->pop_back();
    delete g_hooks;
    g_hooks = nullptr;
    for (Watched& watched : g_watched)
        watched.original = nullptr;
    delete g_state;
    g_state = nullptr;
}

GdiLedger::Counts GdiLedger::Now() const {
    return g_state->counts;
}

long GdiLedger::OutstandingDcs() const {
    return g_state->counts.dcsObtained - g_state->counts.dcsGivenBack;
}

long GdiLedger::OutstandingObjects() const {
    return g_state->counts.objectsCreated - g_state->counts.objectsDeleted;
}

std::vector<std::string> GdiLedger::Hooked() const {
    std::vector<std::string> names;
    for (const Watched& watched : g_watched)
        if (watched.original)
            names.push_back(watched.name);
    return names;
}

} // namespace robust
