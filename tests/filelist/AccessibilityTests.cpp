// The file check list as assistive technology and keyboard users meet it: rows read through Active
// Accessibility, the events a toggle raises, the object's lifetime, and the dialog's keyboard paths.
#include "FakeProvider.h"
#include "Commands.h"
#include "UiDriver.h"
#include "resource.h"

#include <corvel/corvel.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Files = std::set<std::string>;

template <class T> class Com { // owns one reference
public:
    Com() = default;
    Com(Com&& other) noexcept { std::swap(m_p, other.m_p); }
    Com& operator=(Com&& other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~Com() {
        if (m_p)
            m_p->Release();
    }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    void** Out() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

VARIANT Child(long id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

Com<IAccessible> ListObject(HWND list) {
    Com<IAccessible> object;
    EXPECT_EQ(::AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           object.Out()),
              S_OK);
    return object;
}

// A VT_I4 answer; -2 for S_FALSE with nothing, -3 for anything else.
long Id(HRESULT hr, const VARIANT& answer) {
    return hr == S_OK && answer.vt == VT_I4 ? answer.lVal : hr == S_FALSE && answer.vt == VT_EMPTY ? -2 : -3;
}

long Get(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*),
         long id) {
    VARIANT answer;
    ::VariantInit(&answer);
    return Id((object->*property)(Child(id), &answer), answer);
}

std::string Text(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, BSTR*),
                 long id) {
    BSTR text = nullptr;
    const HRESULT hr = (object->*property)(Child(id), &text);
    std::string narrow = hr == S_OK ? "" : "<error>";
    for (UINT i = 0; text && i < ::SysStringLen(text); ++i)
        narrow += static_cast<char>(text[i]);
    ::SysFreeString(text);
    return narrow;
}

// A row as a screen reader reads it.
struct AccRow {
    std::string name;
    long state;
    std::string action;
    bool Has(long flag) const { return (state & flag) == flag; }
};

std::vector<AccRow> ReadRows(IAccessible* list) {
    std::vector<AccRow> rows;
    long count = 0;
    EXPECT_EQ(list->get_accChildCount(&count), S_OK);
    for (long id = 1; id <= count; ++id) {
        EXPECT_EQ(Get(list, &IAccessible::get_accRole, id), ROLE_SYSTEM_LISTITEM);
        rows.push_back(AccRow{Text(list, &IAccessible::get_accName, id),
                              Get(list, &IAccessible::get_accState, id),
                              Text(list, &IAccessible::get_accDefaultAction, id)});
    }
    return rows;
}

std::string Marks(const std::vector<AccRow>& rows) { // "x" checked, "-" not
    std::string marks;
    for (const AccRow& row : rows)
        marks += row.Has(STATE_SYSTEM_CHECKED) ? 'x' : '-';
    return marks;
}

std::vector<long> Selection(IAccessible* list) {
    VARIANT selection;
    ::VariantInit(&selection);
    std::vector<long> ids;
    list->get_accSelection(&selection);
    if (selection.vt == VT_I4)
        ids.push_back(selection.lVal);
    Com<IEnumVARIANT> items;
    if (selection.vt == VT_UNKNOWN &&
        selection.punkVal->QueryInterface(IID_IEnumVARIANT, items.Out()) == S_OK) {
        VARIANT item;
        while (items->Next(1, &item, nullptr) == S_OK)
            ids.push_back(item.lVal);
    }
    ::VariantClear(&selection);
    return ids;
}

long Focus(IAccessible* list) {
    VARIANT focus;
    ::VariantInit(&focus);
    return Id(list->get_accFocus(&focus), focus);
}

RECT Location(IAccessible* list, long id) {
    long left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(list->accLocation(&left, &top, &width, &height, Child(id)), S_OK);
    return RECT{left, top, left + width, top + height};
}

long HitTest(IAccessible* list, long x, long y) {
    VARIANT hit;
    ::VariantInit(&hit);
    return Id(list->accHitTest(x, y, &hit), hit);
}

long Navigate(IAccessible* list, long navDir, long from) {
    VARIANT end;
    ::VariantInit(&end);
    return Id(list->accNavigate(navDir, Child(from), &end), end);
}

ULONG OtherReferences(IUnknown* object) {
    object->AddRef();
    return object->Release() - 1;
}

// EVENT_OBJECT_STATECHANGE of the file list, as child ids. WinEvent callbacks carry no context.
class StateChanges {
public:
    explicit StateChanges(DWORD flags) {
        s_ids = &m_ids;
        // In context, the callback must live in a module: the test program is one.
        m_hook = ::SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE,
                                   (flags & WINEVENT_INCONTEXT) ? ::GetModuleHandleA(nullptr) : nullptr,
                                   &OnEvent, ::GetCurrentProcessId(), 0, flags);
        EXPECT_NE(m_hook, nullptr);
    }
    ~StateChanges() {
        ::UnhookWinEvent(m_hook);
        s_ids = nullptr;
    }
    std::vector<long> m_ids;

private:
    static void CALLBACK OnEvent(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
        if (s_ids && object == OBJID_CLIENT && ::GetDlgCtrlID(hwnd) == IDC_FILE_LIST)
            s_ids->push_back(child);
    }
    static std::vector<long>* s_ids;
    HWINEVENTHOOK m_hook;
};
std::vector<long>* StateChanges::s_ids = nullptr;

TEST(CheckListAccessibility, TheListAndItsRowsReadAsCheckedListItemsNamedByPath) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"src/main.c", "include/app.h"};
    call.otherFiles = {"README.txt"};
    std::vector<AccRow> rows;
    std::vector<long> list, navigation, selection;
    std::vector<HRESULT> refused;
    bool parentIsTheWindow = false, windowFound = false;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND hwnd = dialog.Item(IDC_FILE_LIST).hwnd();
        Com<IAccessible> object = ListObject(hwnd);
        IAccessible* o = object.Get();
        rows = ReadRows(o);
        long count = 0;
        o->get_accChildCount(&count);
        list = {Get(o, &IAccessible::get_accRole, CHILDID_SELF),
                Get(o, &IAccessible::get_accState, CHILDID_SELF), count, Focus(o)};
        navigation = {Navigate(o, NAVDIR_FIRSTCHILD, CHILDID_SELF),
                      Navigate(o, NAVDIR_LASTCHILD, CHILDID_SELF),
                      Navigate(o, NAVDIR_NEXT, 1),
                      Navigate(o, NAVDIR_NEXT, 3),
                      Navigate(o, NAVDIR_PREVIOUS, 3),
                      Navigate(o, NAVDIR_UP, 1),
                      Navigate(o, NAVDIR_FIRSTCHILD, 2)};
        IDispatch* child = nullptr;
        BSTR text = nullptr;
        refused = {o->get_accChild(Child(2), &child), o->get_accName(Child(count + 1), &text),
                   o->get_accValue(Child(1), &text), o->accDoDefaultAction(Child(CHILDID_SELF))};
        Com<IDispatch> parent;
        Com<IAccessible> parentObject;
        HWND found = nullptr;
        parentIsTheWindow = o->get_accParent(reinterpret_cast<IDispatch**>(parent.Out())) == S_OK &&
                            parent->QueryInterface(__uuidof(IAccessible), parentObject.Out()) == S_OK &&
                            parentObject.Get() != o &&
                            ::WindowFromAccessibleObject(parentObject.Get(), &found) == S_OK && found == hwnd;
        windowFound = ::WindowFromAccessibleObject(o, &found) == S_OK && found == hwnd;

        // accSelect moves focus and selection, never a mark.
        ::SetFocus(dialog.Item(IDOK).hwnd());
        list.push_back(Focus(o));
        o->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(2));
        o->accSelect(SELFLAG_ADDSELECTION, Child(3));
        o->accSelect(SELFLAG_REMOVESELECTION, Child(2));
        selection = Selection(o);
        list.push_back(Focus(o));
        refused.push_back(o->accSelect(SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION, Child(1)));
        rows.push_back(ReadRows(o)[1]);
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0], ROLE_SYSTEM_LIST);
    const long listStates = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_MULTISELECTABLE;
    EXPECT_EQ(list[1] & listStates, listStates);
    EXPECT_EQ(list[2], 3);
    EXPECT_EQ(list[3], 1) << "the caret starts on the first row";
    EXPECT_EQ(list[4], -2) << "no focus while another control has it";
    EXPECT_EQ(list[5], 2);
    ASSERT_EQ(rows.size(), 4u);
    const char* names[] = {"include/app.h", "README.txt", "src/main.c"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].name, names[i]);
        EXPECT_TRUE(rows[i].Has(STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE)) << names[i];
        EXPECT_FALSE(rows[i].Has(STATE_SYSTEM_SELECTED) || rows[i].Has(STATE_SYSTEM_OFFSCREEN)) << names[i];
        EXPECT_EQ(rows[i].Has(STATE_SYSTEM_FOCUSED), i == 0) << names[i];
    }
    EXPECT_EQ(Marks(rows), "x-x-");
    EXPECT_EQ(rows[0].action, "Uncheck");
    EXPECT_EQ(rows[1].action, "Check");
    EXPECT_TRUE(rows[3].Has(STATE_SYSTEM_FOCUSED) && !rows[3].Has(STATE_SYSTEM_SELECTED));
    EXPECT_EQ(selection, std::vector<long>{3});
    EXPECT_EQ(navigation, (std::vector<long>{1, 3, 2, -2, 2, -2, -3}));
    // Rows are simple elements; out of range, a row's value, the list's action, contradictory flags.
    EXPECT_EQ(refused, (std::vector<HRESULT>{S_FALSE, E_INVALIDARG, DISP_E_MEMBERNOTFOUND,
                                             DISP_E_MEMBERNOTFOUND, E_INVALIDARG}));
    EXPECT_TRUE(parentIsTheWindow);
    EXPECT_TRUE(windowFound);
}

// Both kinds of hook a screen reader may use: called at once (in context) or queued to the hooking thread
// (out of context). Under Wine an out-of-context hook of another thread hears nothing, so the queued kind
// is tested on the dialog's own thread.
class CheckListToggles : public ::testing::TestWithParam<DWORD> {};

TEST_P(CheckListToggles, EveryWayOfTogglingShowsInTheStatesAndRaisesOneEventPerChangedRow) {
    StateChanges events(GetParam());
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"a.c"};
    call.otherFiles = {"b.c", "c.c"};
    Com<IAccessible> object;
    std::vector<AccRow> opened, toggled, final;
    std::vector<long> eventsAtOpen, selection;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        eventsAtOpen = events.m_ids;
        object = ListObject(dialog.Item(IDC_FILE_LIST).hwnd());
        opened = ReadRows(object.Get());
        EXPECT_EQ(object->accDoDefaultAction(Child(2)), S_OK);
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        toggled = ReadRows(object.Get());
        dialog.Item(IDC_SELECT_ALL).Click(); // rows 1 and 3 change; row 2 is checked and stays quiet
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        // Space on the focused row, with every row selected, toggles that row alone.
        ::SetFocus(dialog.Item(IDC_FILE_LIST).hwnd());
        ::SendMessageA(dialog.Item(IDC_FILE_LIST).hwnd(), LB_SETCARETINDEX, 1, FALSE);
        ui::Focus().Key(VK_SPACE);
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        final = ReadRows(object.Get());
        selection = Selection(object.Get());
        dialog.Item(IDOK).Click();
    });
    call.Run(script);
    object = Com<IAccessible>();

    EXPECT_TRUE(eventsAtOpen.empty()) << "filling the list announced " << eventsAtOpen.size() << " changes";
    EXPECT_EQ(Marks(opened), "x--");
    EXPECT_EQ(Marks(toggled), "-x-");
    ASSERT_EQ(toggled.size(), 3u);
    EXPECT_EQ(toggled[1].action, "Uncheck");
    EXPECT_TRUE(toggled[0].Has(STATE_SYSTEM_FOCUSED)) << "a click on a check box moves the focus to its row";
    EXPECT_EQ(Marks(final), "x-x");
    for (const AccRow& row : final)
        EXPECT_TRUE(row.Has(STATE_SYSTEM_SELECTED)) << row.name;
    EXPECT_TRUE(final[1].Has(STATE_SYSTEM_FOCUSED));
    EXPECT_EQ(selection, (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(events.m_ids, (std::vector<long>{2, 1, 1, 3, 2}));
    EXPECT_EQ(call.files, (Files{"a.c", "c.c"}));
}

INSTANTIATE_TEST_SUITE_P(Hooks, CheckListToggles,
                         ::testing::Values(static_cast<DWORD>(WINEVENT_INCONTEXT),
                                           static_cast<DWORD>(WINEVENT_OUTOFCONTEXT)));

TEST(CheckListAccessibility, LocationAndHitTestFollowTheRowsAlsoWhenScrolledSideways) {
    cmd::Call call(cmd::Command::MultiFile);
    call.otherFiles = {"a.c", "b.c",
                       "C:\\Projects\\Client\\Modules\\Billing\\Reports\\Quarterly\\Summaries\\"
                       "2026\\Q4\\Regional\\North\\summary_by_account_and_region_final.cpp"};
    RECT client = {}, item = {}, row = {}, scrolled = {};
    std::vector<long> hits;
    std::vector<ui::Row> afterClick;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        Com<IAccessible> object = ListObject(list);
        ::GetClientRect(list, &client);
        ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&client), 2);
        ::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
        row = Location(object.Get(), 2);
        const long middle = (row.top + row.bottom) / 2;
        hits = {HitTest(object.Get(), row.left + 30, middle),
                HitTest(object.Get(), client.left + 5, client.bottom - 2),
                HitTest(object.Get(), client.left - 20, middle)};
        ::SendMessageA(list, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 6), 0);
        scrolled = Location(object.Get(), 2);
        hits.push_back(HitTest(object.Get(), client.left + 1, middle));
        // Where the row is said to start, its check box is drawn and takes a click.
        POINT box = {scrolled.left + 2 + ::GetSystemMetrics(SM_CXMENUCHECK) / 2, middle};
        ::ScreenToClient(list, &box);
        ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
        ::PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(box.x, box.y));
    });
    script.OnDialog("Options", [&](ui::Window dialog) {
        afterClick = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    EXPECT_EQ(row.left, client.left);
    EXPECT_EQ(row.top, client.top + item.bottom - item.top);
    EXPECT_EQ(row.bottom - row.top, item.bottom - item.top);
    EXPECT_EQ(row.right, client.right);
    EXPECT_EQ(hits, (std::vector<long>{2, CHILDID_SELF, -2, 2})) << "row, below the rows, outside, scrolled";
    EXPECT_EQ(scrolled.left, client.left - 6) << "the row moves left with the scrolled text";
    EXPECT_EQ(scrolled.top, row.top);
    ASSERT_EQ(afterClick.size(), 3u);
    EXPECT_TRUE(afterClick[1].checked && !afterClick[0].checked && !afterClick[2].checked);
}

TEST(CheckListAccessibility, RowsPastThe65536thAreHitClickedAndAnnouncedWhereTheyAre) {
    constexpr int kRow = 69999; // 16-bit row numbers (LB_ITEMFROMPOINT) would land on row 4463
    StateChanges events(WINEVENT_INCONTEXT);
    cmd::Call call(cmd::Command::MultiFile);
    char name[32];
    for (int i = 0; i <= kRow; ++i) {
        std::snprintf(name, sizeof name, "f%06d.c", i);
        call.otherFiles.insert(call.otherFiles.end(), name);
    }
    long hit = 0, firstRowState = 0;
    std::vector<ui::Row> rows;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) { dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(kRow); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        Com<IAccessible> object = ListObject(dialog.Item(IDC_FILE_LIST).hwnd());
        const RECT row = Location(object.Get(), kRow + 1);
        hit = HitTest(object.Get(), row.left + 30, (row.top + row.bottom) / 2);
        firstRowState = Get(object.Get(), &IAccessible::get_accState, 1);
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);

    EXPECT_EQ(hit, kRow + 1);
    EXPECT_TRUE(firstRowState & STATE_SYSTEM_OFFSCREEN) << "scrolled out of view";
    ASSERT_EQ(rows.size(), kRow + 1u);
    EXPECT_TRUE(rows[kRow].checked);
    EXPECT_FALSE(rows[kRow - 65536].checked);
    EXPECT_EQ(events.m_ids, (std::vector<long>{CHILDID_SELF, kRow + 1}))
        << "the fill announced only that the list is no longer busy";
    EXPECT_EQ(call.files, Files{"f069999.c"});
}

TEST(CheckListAccessibility, AnotherThreadReadsAndTogglesThroughAProxyThatFailsSafelyOnceTheListIsGone) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"a.c"};
    call.otherFiles = {"b.c"};
    HANDLE read = ::CreateEventA(nullptr, TRUE, FALSE, nullptr),
           closed = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string before, after;
    HRESULT goneHr = S_OK;
    bool proxy = false;
    long focus = 0;
    std::thread reader;
    std::vector<ui::Row> onScreen;
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        IAccessible* here = ListObject(list).Get(); // the list keeps it alive
        reader = std::thread([&, list, here] {
            ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            {
                Com<IAccessible> object = ListObject(list);
                proxy = object.Get() && object.Get() != here;
                if (object.Get()) {
                    before = Marks(ReadRows(object.Get()));
                    focus = Focus(object.Get());
                    object->accDoDefaultAction(Child(2));
                    after = Marks(ReadRows(object.Get()));
                }
                ::SetEvent(read);
                ::WaitForSingleObject(closed, 10000);
                long count = 0;
                goneHr = object.Get() ? object->get_accChildCount(&count) : S_OK;
            }
            ::CoUninitialize();
        });
    });
    // The dialog's loop keeps running meanwhile: the proxy's calls need it.
    script.Then("reader", [&] { return ::WaitForSingleObject(read, 0) == WAIT_OBJECT_0; });
    script.OnDialog("Options", [&](ui::Window dialog) {
        onScreen = dialog.Item(IDC_FILE_LIST).Rows();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);
    ::SetEvent(closed);
    if (reader.joinable())
        reader.join();
    ::CloseHandle(read);
    ::CloseHandle(closed);

    EXPECT_TRUE(proxy);
    EXPECT_EQ(before, "x-");
    EXPECT_EQ(focus, 1) << "the focus of the list's thread, not the caller's";
    EXPECT_EQ(after, "xx");
    ASSERT_EQ(onScreen.size(), 2u);
    EXPECT_TRUE(onScreen[1].checked);
    // Windows says the object is disconnected; Wine that its interface is no longer known.
    EXPECT_TRUE(goneHr == RPC_E_DISCONNECTED || goneHr == CO_E_OBJNOTCONNECTED ||
                goneHr == HRESULT_FROM_WIN32(RPC_S_UNKNOWN_IF))
        << std::hex << goneHr;
}

// What the held object says right after the list has handled WM_DESTROY, before anything else lets go.
struct AtListDestroy {
    static HWND list;
    static IAccessible* held;
    static ULONG others;
    static HRESULT countHr;

    static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam) {
        const CWPRETSTRUCT* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (code == HC_ACTION && held && sent->message == WM_DESTROY && sent->hwnd == list) {
            others = OtherReferences(held);
            long count = 0;
            countHr = held->get_accChildCount(&count);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
HWND AtListDestroy::list = nullptr;
IAccessible* AtListDestroy::held = nullptr;
ULONG AtListDestroy::others = 99;
HRESULT AtListDestroy::countHr = S_OK;

TEST(CheckListAccessibility, TheListLetsGoOfItsObjectWhenDestroyedAndAHeldObjectThenFailsSafely) {
    cmd::Call call(cmd::Command::MultiFile);
    call.files = {"a.c", "b.c"};
    Com<IAccessible> held;
    ULONG othersWhileOpen = 0;
    HHOOK hook =
        ::SetWindowsHookExA(WH_CALLWNDPROCRET, &AtListDestroy::OnMessage, nullptr, ::GetCurrentThreadId());
    ui::Script script;
    script.OnDialog("Options", [&](ui::Window dialog) {
        HWND list = dialog.Item(IDC_FILE_LIST).hwnd();
        held = ListObject(list);
        for (int i = 0; i < 3; ++i)
            ListObject(list); // asked again and let go
        // Handed out but never collected, as by a client that gave up.
        ::SendMessageA(list, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
        othersWhileOpen = OtherReferences(held.Get());
        AtListDestroy::list = list;
        AtListDestroy::held = held.Get();
        dialog.Item(IDOK).Click();
    });
    call.Run(script);
    ::UnhookWindowsHookEx(hook);
    AtListDestroy::held = nullptr;

    ASSERT_TRUE(held.Get());
    EXPECT_GE(othersWhileOpen, 1u) << "the list keeps its object while it lives";
    // The list, and every copy it handed out, let go as the window went: ours is the only reference.
    EXPECT_EQ(AtListDestroy::others, 0u);
    EXPECT_EQ(AtListDestroy::countHr, CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(Text(held.Get(), &IAccessible::get_accName, 1), "<error>");
    EXPECT_EQ(held->accDoDefaultAction(Child(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(Get(held.Get(), &IAccessible::get_accState, 1), -3);
    EXPECT_EQ(HitTest(held.Get(), 0, 0), -3);
    IDispatch* parent = nullptr;
    EXPECT_EQ(held->get_accParent(&parent), CO_E_OBJNOTCONNECTED);
}

TEST(CheckListKeyboard, MnemonicsPressTheirButtons) {
    cmd::Call call(cmd::Command::MultiFile);
    call.otherFiles = {"a.c", "b.c"};
    std::vector<ui::Row> rows;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window) { ui::Focus().AltKey('l'); });
    script.OnDialog("Options", [&](ui::Window dialog) {
        rows = dialog.Item(IDC_FILE_LIST).Rows();
        ui::Focus().AltKey('a');
    });
    script.Then("advanced", [&] { return call.provider.showCalls > 0; });
    script.OnDialog("Options", [](ui::Window dialog) { dialog.Item(IDOK).Click(); });
    call.Run(script);

    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0].checked && rows[0].selected && rows[1].checked && rows[1].selected)
        << "Alt+L: Select All";
    EXPECT_EQ(call.provider.showCalls, 1) << "Alt+A: Advanced";
    EXPECT_EQ(call.files, (Files{"a.c", "b.c"}));
}

} // namespace
