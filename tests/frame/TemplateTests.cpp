// The dialog templates and the version resource of corvel.dll, read from the built DLL and compared field by
// field with the layouts the code and the host depend on: ids, classes, exact styles, places, texts and
// template (tab) order.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Commands.h"
#include "Languages.h"
#include "UiDriver.h"
#include "resource.h"

namespace {

// The host and the code address templates and controls by these numbers, so resource.h is held to them
// too; the tables below then name them.
static_assert(IDD_SESSION_OPTIONS == 129 && IDD_DIFF_OPTIONS == 130 && IDD_SINGLE_FILE_OPTIONS == 131, "");
static_assert(IDD_RENAME_OPTIONS == 132 && IDD_MULTI_FILE_OPTIONS == 133, "");
static_assert(IDD_CHECK_IN_OPTIONS == 137 && IDD_CHECK_OUT_OPTIONS == 138, "");
static_assert(IDC_ADVANCED == 1000 && IDC_IGNORE_CASE == 1001 && IDC_IGNORE_SPACES == 1002, "");
static_assert(IDC_BROWSE == 1004 && IDC_PATH == 1006 && IDC_NEW_NAME == 1007 && IDC_FILE_LIST == 1008, "");
static_assert(IDC_KEEP_CHECKED_OUT == 1012 && IDC_COMMENT == 1013, "");
static_assert(IDC_KEEP_AFTER_CHECK_IN == 1014 && IDC_KEEP_AFTER_ADD == 1015 && IDC_SELECT_ALL == 1019, "");

const WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Predefined window classes as template ordinals.
const WORD kButton = 0x0080;
const WORD kEdit = 0x0081;
const WORD kStatic = 0x0082;
const WORD kListBox = 0x0083;

// Complete styles, written out in hex so that a wrong flag in the resource script cannot hide behind the
// same wrong macro here.
constexpr DWORD kDialogStyle = 0x80C800C0;
static_assert(kDialogStyle == (DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU), "");
constexpr DWORD kDefPushButton = 0x50010001;
static_assert(kDefPushButton == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON), "");
constexpr DWORD kPushButton = 0x50010000;
static_assert(kPushButton == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON), "");
constexpr DWORD kCheckBox = 0x50010003;
static_assert(kCheckBox == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX), "");
constexpr DWORD kEditBox = 0x50810080;
static_assert(kEditBox == (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL), "");
constexpr DWORD kLabel = 0x50020000;
static_assert(kLabel == (WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT), "");
constexpr DWORD kFileList = 0x50B1015B;
static_assert(kFileList ==
                  (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                   LBS_SORT | LBS_MULTIPLESEL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT),
              "");

struct ExpectedControl {
    int id;
    WORD classOrdinal;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
};

struct ExpectedTemplate {
    WORD id;
    const char* caption;
    short cx, cy;
    std::vector<ExpectedControl> controls;
};

// Names the parameter in gtest's messages.
void PrintTo(const ExpectedTemplate& t, std::ostream* os) {
    *os << "template " << t.id;
}

const std::vector<ExpectedTemplate>& expectedTemplates() {
    static const std::vector<ExpectedTemplate> templates = {
        {IDD_SESSION_OPTIONS,
         "Source Control Options",
         267,
         64,
         {
             {IDC_KEEP_AFTER_CHECK_IN, kButton, kCheckBox, 7, 7, 198, 10,
              "Keep files checked out after check in"},
             {IDC_KEEP_AFTER_ADD, kButton, kCheckBox, 7, 19, 198, 10, "Keep files checked out after add"},
             {IDC_IGNORE_CASE, kButton, kCheckBox, 7, 31, 198, 10, "Ignore case when showing differences"},
             {IDC_IGNORE_SPACES, kButton, kCheckBox, 7, 43, 198, 10,
              "Ignore spaces when showing differences"},
             {IDOK, kButton, kDefPushButton, 210, 7, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 210, 24, 50, 14, "Cancel"},
             {IDC_ADVANCED, kButton, kPushButton, 210, 43, 50, 14, "Advanced..."},
         }},
        {IDD_DIFF_OPTIONS,
         "Difference Options",
         238,
         61,
         {
             {IDC_PATH, kEdit, kEditBox, 7, 7, 224, 14, ""},
             {IDC_IGNORE_CASE, kButton, kCheckBox, 58, 25, 53, 10, "Ignore Case"},
             {IDC_IGNORE_SPACES, kButton, kCheckBox, 121, 25, 60, 10, "Ignore Spaces"},
             {IDOK, kButton, kDefPushButton, 7, 39, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 65, 39, 50, 14, "Cancel"},
             {IDC_BROWSE, kButton, kPushButton, 123, 39, 50, 14, "Browse..."},
             {IDC_ADVANCED, kButton, kPushButton, 181, 39, 50, 14, "Advanced..."},
         }},
        {IDD_SINGLE_FILE_OPTIONS,
         "Options",
         238,
         50,
         {
             {IDC_PATH, kEdit, kEditBox, 7, 7, 224, 14, ""},
             {IDOK, kButton, kDefPushButton, 7, 29, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 65, 29, 50, 14, "Cancel"},
             {IDC_BROWSE, kButton, kPushButton, 123, 29, 50, 14, "Browse..."},
             {IDC_ADVANCED, kButton, kPushButton, 181, 29, 50, 14, "Advanced..."},
         }},
        {IDD_RENAME_OPTIONS,
         "Rename Options",
         238,
         87,
         {
             {IDC_PATH, kEdit, kEditBox, 7, 18, 224, 14, ""},
             {IDC_NEW_NAME, kEdit, kEditBox, 7, 46, 224, 14, ""},
             {IDOK, kButton, kDefPushButton, 7, 66, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 65, 66, 50, 14, "Cancel"},
             {IDC_BROWSE, kButton, kPushButton, 123, 66, 50, 14, "Browse..."},
             {-1, kStatic, kLabel, 7, 7, 45, 8, "Existing File:"},
             {-1, kStatic, kLabel, 7, 35, 35, 8, "New name:"},
         }},
        {IDD_MULTI_FILE_OPTIONS,
         "Options",
         237,
         118,
         {
             {IDC_FILE_LIST, kListBox, kFileList, 7, 7, 166, 104, ""},
             {IDOK, kButton, kDefPushButton, 180, 7, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 180, 23, 50, 14, "Cancel"},
             {IDC_ADVANCED, kButton, kPushButton, 180, 55, 50, 14, "&Advanced..."},
             {IDC_SELECT_ALL, kButton, kPushButton, 180, 39, 50, 14, "Select A&ll"},
         }},
        {IDD_CHECK_IN_OPTIONS,
         "Options",
         237,
         169,
         {
             {IDOK, kButton, kDefPushButton, 180, 7, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 180, 23, 50, 14, "Cancel"},
             {IDC_ADVANCED, kButton, kPushButton, 180, 55, 50, 14, "&Advanced..."},
             {IDC_KEEP_CHECKED_OUT, kButton, kCheckBox, 7, 114, 223, 10, "Keep checked out"},
             {IDC_COMMENT, kEdit, kEditBox, 7, 138, 223, 24, ""},
             {-1, kStatic, kLabel, 7, 127, 223, 8, "Co&mment:"},
             {IDC_FILE_LIST, kListBox, kFileList, 7, 7, 166, 104, ""},
             {IDC_SELECT_ALL, kButton, kPushButton, 180, 39, 50, 14, "Select A&ll"},
         }},
        {IDD_CHECK_OUT_OPTIONS,
         "Check Out Options",
         237,
         158,
         {
             {IDOK, kButton, kDefPushButton, 180, 7, 50, 14, "OK"},
             {IDCANCEL, kButton, kPushButton, 180, 23, 50, 14, "Cancel"},
             {IDC_COMMENT, kEdit, kEditBox, 7, 127, 223, 24, ""},
             {-1, kStatic, kLabel, 7, 116, 223, 8, "Co&mment:"},
             {IDC_ADVANCED, kButton, kPushButton, 180, 55, 50, 14, "&Advanced..."},
             {IDC_FILE_LIST, kListBox, kFileList, 7, 7, 166, 104, ""},
             {IDC_SELECT_ALL, kButton, kPushButton, 180, 39, 50, 14, "Select A&ll"},
         }},
    };
    return templates;
}

// A menu, class or text field of a template: absent, an ordinal or a string. Rendered as text so that a
// mismatch reads plainly in the failure message.
std::string ordinalName(WORD ordinal) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "ordinal 0x%04X", ordinal);
    return buffer;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// Styles compare as hex text, which is how they read in a failure.
std::string hex(DWORD value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08lX", static_cast<unsigned long>(value));
    return buffer;
}

// Bounds-checked cursor over a resource; a read past the end fails the test instead of crashing it.
class Reader {
public:
    Reader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool ok() const { return m_ok; }
    size_t offset() const { return m_offset; }

    WORD word() { return static_cast<WORD>(read(2)); }
    DWORD dword() { return static_cast<DWORD>(read(4)); }
    short coord() { return static_cast<short>(word()); }

    void align(size_t boundary) { m_offset = (m_offset + boundary - 1) / boundary * boundary; }
    void skip(size_t bytes) {
        if (m_offset + bytes > m_size)
            m_ok = false;
        m_offset = m_ok ? m_offset + bytes : m_size;
    }

    // Zero-terminated UTF-16 text; the templates hold ASCII only, anything else shows as '?'.
    std::string text() {
        std::string result;
        for (WORD c = word(); m_ok && c != 0; c = word())
            result += c < 0x80 ? static_cast<char>(c) : '?';
        return result;
    }

    // sz_Or_Ord: 0x0000 for none or empty, 0xFFFF and an ordinal, or a zero-terminated text.
    std::string textOrOrdinal() {
        size_t start = m_offset;
        WORD first = word();
        if (first == 0xFFFF)
            return ordinalName(word());
        m_offset = start;
        return quoted(text());
    }

private:
    unsigned long read(size_t bytes) {
        if (!m_ok || m_offset + bytes > m_size) {
            m_ok = false;
            return 0;
        }
        unsigned long value = 0;
        for (size_t i = 0; i < bytes; ++i)
            value |= static_cast<unsigned long>(m_data[m_offset + i]) << (8 * i);
        m_offset += bytes;
        return value;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_ok = true;
};

struct ParsedControl {
    int id = 0;
    std::string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string text;
    size_t creationDataBytes = 0;
};

struct ParsedTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    WORD declaredCount = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu;
    std::string className;
    std::string caption;
    WORD pointSize = 0;
    std::string faceName;
    std::vector<ParsedControl> controls;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX with its items. Returns false if the data ends too early.
bool parseTemplate(const BYTE* data, size_t size, ParsedTemplate& out) {
    Reader in(data, size);
    out.extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    if (out.extended) {
        in.skip(4); // dlgVer, signature
        in.dword(); // helpID
        out.exStyle = in.dword();
        out.style = in.dword();
    } else {
        out.style = in.dword();
        out.exStyle = in.dword();
    }
    out.declaredCount = in.word();
    out.x = in.coord();
    out.y = in.coord();
    out.cx = in.coord();
    out.cy = in.coord();
    out.menu = in.textOrOrdinal();
    out.className = in.textOrOrdinal();
    out.caption = in.text();
    if (out.style & DS_SETFONT) {
        out.pointSize = in.word();
        if (out.extended)
            in.skip(4); // weight, italic, charset
        out.faceName = in.text();
    }
    for (WORD i = 0; i < out.declaredCount && in.ok(); ++i) {
        ParsedControl control;
        in.align(4);
        if (out.extended) {
            in.dword(); // helpID
            control.exStyle = in.dword();
            control.style = in.dword();
        } else {
            control.style = in.dword();
            control.exStyle = in.dword();
        }
        control.x = in.coord();
        control.y = in.coord();
        control.cx = in.coord();
        control.cy = in.coord();
        control.id = out.extended ? static_cast<int>(in.dword()) : static_cast<short>(in.word());
        control.className = in.textOrOrdinal();
        control.text = in.textOrOrdinal();
        control.creationDataBytes = in.word();
        in.skip(control.creationDataBytes);
        out.controls.push_back(control);
    }
    return in.ok();
}

HMODULE corvelModule() {
    static HMODULE module = LoadLibraryExA("corvel.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

bool resourceBytes(LPCSTR type, WORD id, WORD language, const BYTE*& data, size_t& size) {
    HMODULE module = corvelModule();
    HRSRC info = FindResourceExA(module, type, MAKEINTRESOURCEA(id), language);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    size = info ? SizeofResource(module, info) : 0;
    return data != nullptr;
}

class DialogTemplate : public testing::TestWithParam<ExpectedTemplate> {
protected:
    void SetUp() override {
        ASSERT_NE(corvelModule(), nullptr) << "corvel.dll not loadable, error " << GetLastError();
        const BYTE* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(resourceBytes(RT_DIALOG, GetParam().id, kEnglishUs, data, size))
            << "template " << GetParam().id << " (English, United States) not found";
        ASSERT_TRUE(parseTemplate(data, size, m_parsed)) << "template " << GetParam().id << " is truncated";
    }

    ParsedTemplate m_parsed;
};

TEST_P(DialogTemplate, HeaderMatches) {
    const ExpectedTemplate& want = GetParam();
    const ParsedTemplate& got = m_parsed;
    SCOPED_TRACE("template " + std::to_string(want.id));
    EXPECT_EQ(hex(got.style), hex(kDialogStyle)) << "dialog style";
    EXPECT_EQ(hex(got.exStyle), hex(0)) << "dialog extended style";
    EXPECT_EQ(got.x, 0) << "dialog x";
    EXPECT_EQ(got.y, 0) << "dialog y";
    EXPECT_EQ(got.cx, want.cx) << "dialog width";
    EXPECT_EQ(got.cy, want.cy) << "dialog height";
    EXPECT_EQ(got.menu, quoted("")) << "menu (expected none)";
    EXPECT_EQ(got.className, quoted("")) << "window class (expected the default)";
    EXPECT_EQ(got.caption, want.caption) << "caption";
    EXPECT_EQ(got.pointSize, 8) << "font size";
    EXPECT_EQ(got.faceName, "MS Sans Serif") << "font face";
}

TEST_P(DialogTemplate, ControlsMatchInTemplateOrder) {
    const ExpectedTemplate& want = GetParam();
    const ParsedTemplate& got = m_parsed;
    ASSERT_EQ(got.declaredCount, want.controls.size()) << "template " << want.id << ": control count";
    ASSERT_EQ(got.controls.size(), want.controls.size());
    for (size_t i = 0; i < want.controls.size(); ++i) {
        const ExpectedControl& w = want.controls[i];
        const ParsedControl& g = got.controls[i];
        SCOPED_TRACE("template " + std::to_string(want.id) + ", control " + std::to_string(i + 1) +
                     " (expected id " + std::to_string(w.id) + ", " + quoted(w.text) + ")");
        EXPECT_EQ(g.id, w.id) << "id";
        EXPECT_EQ(g.className, ordinalName(w.classOrdinal)) << "class";
        EXPECT_EQ(hex(g.style), hex(w.style)) << "style";
        EXPECT_EQ(hex(g.exStyle), hex(0)) << "extended style";
        EXPECT_EQ(g.x, w.x) << "x";
        EXPECT_EQ(g.y, w.y) << "y";
        EXPECT_EQ(g.cx, w.cx) << "width";
        EXPECT_EQ(g.cy, w.cy) << "height";
        EXPECT_EQ(g.text, quoted(w.text)) << "text";
        EXPECT_EQ(g.creationDataBytes, 0u) << "creation data";
    }
}

INSTANTIATE_TEST_SUITE_P(Corvel, DialogTemplate, testing::ValuesIn(expectedTemplates()),
                         [](const testing::TestParamInfo<ExpectedTemplate>& param) {
                             return "Template" + std::to_string(param.param.id);
                         });

// Live, each dialog walks its tab stops in template order: Tab forwards round the whole ring from where
// the focus starts, Shift+Tab back.
class TabOrder : public testing::TestWithParam<cmd::Command> {};

TEST_P(TabOrder, TabAndShiftTabWalkTheTabStopsInTemplateOrder) {
    const cmd::Command command = GetParam();
    std::vector<int> stops;
    for (const ExpectedTemplate& expected : expectedTemplates())
        if (expected.id == cmd::TemplateId(command))
            for (const ExpectedControl& control : expected.controls)
                if (control.style & WS_TABSTOP)
                    stops.push_back(control.id);
    ASSERT_FALSE(stops.empty());
    const size_t n = stops.size();
    std::vector<int> visited;
    cmd::Call call(command, cmd::TypicalArguments());
    ui::Script script;
    for (size_t step = 0; step < 2 * n; ++step)
        script.OnDialog(call.Caption(), [&visited, step, n](ui::Window) {
            visited.push_back(ui::Focus().Id());
            if (step < n)
                ui::Focus().Key(VK_TAB);
            else
                ui::Focus().ShiftKey(VK_TAB);
        });
    script.OnDialog(call.Caption(), [&visited](ui::Window dialog) {
        visited.push_back(ui::Focus().Id());
        dialog.Item(IDCANCEL).Click();
    });
    call.Run(script);

    ASSERT_EQ(visited.size(), 2 * n + 1);
    const auto start = std::find(stops.begin(), stops.end(), visited[0]);
    ASSERT_NE(start, stops.end()) << "the focus starts on a tab stop, not on " << visited[0];
    std::vector<int> expected;
    const size_t first = static_cast<size_t>(start - stops.begin());
    for (size_t i = 0; i <= n; ++i)
        expected.push_back(stops[(first + i) % n]);
    for (size_t i = 1; i <= n; ++i)
        expected.push_back(stops[(first + n - i) % n]);
    EXPECT_EQ(visited, expected);
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, TabOrder, testing::ValuesIn(cmd::kAllCommands), cmd::ParamName());

BOOL CALLBACK collectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::set<std::string>*>(param);
    names->insert(IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<ULONG_PTR>(name)) : quoted(name));
    return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::set<WORD>*>(param)->insert(language);
    return TRUE;
}

TEST(ResourceInventory, ExactlyTheSevenDialogsInEveryLanguage) {
    HMODULE module = corvelModule();
    ASSERT_NE(module, nullptr) << "corvel.dll not loadable, error " << GetLastError();

    std::set<std::string> names;
    ASSERT_TRUE(EnumResourceNamesA(module, RT_DIALOG, collectName, reinterpret_cast<LONG_PTR>(&names)));
    std::set<std::string> expected;
    for (const ExpectedTemplate& t : expectedTemplates())
        expected.insert(std::to_string(t.id));
    EXPECT_EQ(names, expected) << "dialog resources";

    for (const ExpectedTemplate& t : expectedTemplates()) {
        std::set<WORD> languages;
        EnumResourceLanguagesA(module, RT_DIALOG, MAKEINTRESOURCEA(t.id), collectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        std::set<WORD> shipped;
        for (const lang::Language& language : lang::Shipped())
            shipped.insert(language.id);
        EXPECT_EQ(languages, shipped) << "languages of template " << t.id;
    }
}

// One node of a VS_VERSIONINFO tree: key, value bytes and children.
struct VersionNode {
    std::string key;
    WORD type = 0;
    std::vector<BYTE> value;
    std::vector<VersionNode> children;
};

bool parseVersionNode(const BYTE* data, size_t size, VersionNode& node) {
    Reader in(data, size);
    WORD length = in.word();
    WORD valueLength = in.word();
    node.type = in.word();
    node.key = in.text();
    in.align(4);
    if (!in.ok() || length > size)
        return false;
    // Text values count WORDs, binary values bytes.
    size_t valueBytes = node.type == 1 ? valueLength * 2u : valueLength;
    if (in.offset() + valueBytes > length)
        return false;
    node.value.assign(data + in.offset(), data + in.offset() + valueBytes);
    in.skip(valueBytes);
    in.align(4);
    for (size_t at = in.offset(); at + 6 <= length;) {
        VersionNode child;
        WORD childLength = static_cast<WORD>(data[at] | data[at + 1] << 8);
        if (childLength == 0 || !parseVersionNode(data + at, length - at, child))
            return false;
        node.children.push_back(child);
        at = (at + childLength + 3) / 4 * 4;
    }
    return true;
}

const VersionNode* child(const VersionNode& node, const std::string& key) {
    for (const VersionNode& c : node.children)
        if (c.key == key)
            return &c;
    return nullptr;
}

std::string textValue(const VersionNode& node) {
    std::string result;
    for (size_t i = 0; i + 1 < node.value.size(); i += 2) {
        WORD c = static_cast<WORD>(node.value[i] | node.value[i + 1] << 8);
        if (c == 0)
            break;
        result += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return result;
}

TEST(ResourceInventory, VersionResourceDescribesTheLibrary) {
    ASSERT_NE(corvelModule(), nullptr) << "corvel.dll not loadable, error " << GetLastError();
    const BYTE* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(resourceBytes(RT_VERSION, 1, kEnglishUs, data, size) ||
                resourceBytes(RT_VERSION, 1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), data, size))
        << "no version resource";

    VersionNode root;
    ASSERT_TRUE(parseVersionNode(data, size, root)) << "malformed version resource";
    EXPECT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, root.value.data(), sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, static_cast<DWORD>(VS_FFI_SIGNATURE));
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u) << "file version 1.0";
    EXPECT_EQ(fixed.dwFileVersionLS, 0u) << "file version .0.0";
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u) << "product version 1.0";
    EXPECT_EQ(fixed.dwProductVersionLS, 0u) << "product version .0.0";
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_DLL));

    const VersionNode* strings = child(root, "StringFileInfo");
    ASSERT_NE(strings, nullptr) << "StringFileInfo";
    const VersionNode* table = child(*strings, "040904E4");
    ASSERT_NE(table, nullptr) << "string table for English (United States), code page 1252";
    const std::map<std::string, std::string> expected = {
        {"CompanyName", "CORVEL"},  {"FileDescription", "CORVEL source-control option dialogs"},
        {"FileVersion", "1.0.0.0"}, {"OriginalFilename", "corvel.dll"},
        {"ProductName", "CORVEL"},  {"ProductVersion", "1.0.0.0"},
    };
    for (const auto& [key, text] : expected) {
        const VersionNode* value = child(*table, key);
        ASSERT_NE(value, nullptr) << key;
        EXPECT_EQ(textValue(*value), text) << key;
    }

    const VersionNode* vars = child(root, "VarFileInfo");
    ASSERT_NE(vars, nullptr) << "VarFileInfo";
    const VersionNode* translation = child(*vars, "Translation");
    ASSERT_NE(translation, nullptr) << "Translation";
    EXPECT_EQ(translation->value, (std::vector<BYTE>{0x09, 0x04, 0xE4, 0x04}))
        << "language 0x0409, code page 1252";
}

} // namespace
