#include "CCalls.h"

#include "resource.h"

namespace robust {

std::string Outcome(int result, Slots& slots) {
    const Slots untouched;
    std::string text = "result " + std::to_string(result) + "; list ";
    if (slots.list == untouched.list) {
        text += "-";
    } else {
        for (char** entry = slots.list; *entry; ++entry)
            text += std::string(*entry) + "|";
        corvel_release(slots.list);
    }
    text += "; count " + (slots.count == untouched.count ? std::string("-") : std::to_string(slots.count));
    for (char* output : {slots.text1, slots.text2}) {
        text += "; text ";
        if (output == untouched.text1 || output == untouched.text2) {
            text += "-";
        } else {
            text += output;
            corvel_release(output);
        }
    }
    text += "; flags";
    for (int flag : slots.flags)
        text += " " + std::to_string(flag);
    return text;
}

namespace {

const char* const kFiles[] = {u8"C:\\src\\Σελίδα.c", u8"C:\\src\\main.c"};
const char* const kOthers[] = {u8"C:\\src\\設定.h"};
const char* const kPath = u8"C:\\src\\\U0001F600.txt";
corvel_host gNoHost = {nullptr, nullptr, nullptr};

void RetypeAscii(ui::Window edit, const char* text) {
    edit.Retype(text);
}

} // namespace

const std::vector<Function>& CFunctions() {
    static const std::vector<Function> functions = {
        {"multi_file",
         [](Slots& s, HWND parent) {
             return corvel_multi_file_options(kFiles, 2, kOthers, 1, &gNoHost, parent, &s.list, &s.count);
         },
         [](ui::Window d) { d.Item(IDC_FILE_LIST).ClickRowCheckBox(0); }},
        {"check_in",
         [](Slots& s, HWND parent) {
             return corvel_check_in_options(kFiles, 2, kOthers, 1, &s.flags[0], u8"note ü", 100, &gNoHost,
                                            parent, &s.list, &s.count, &s.text1);
         },
         [](ui::Window d) {
             d.Item(IDC_FILE_LIST).ClickRowCheckBox(0);
             d.Item(IDC_KEEP_CHECKED_OUT).Click();
             RetypeAscii(d.Item(IDC_COMMENT), "edited");
         }},
        {"check_out",
         [](Slots& s, HWND parent) {
             return corvel_check_out_options(kFiles, 2, kOthers, 1, u8"note ü", 100, &gNoHost, parent,
                                             &s.list, &s.count, &s.text1);
         },
         [](ui::Window d) {
             d.Item(IDC_FILE_LIST).ClickRowCheckBox(2);
             RetypeAscii(d.Item(IDC_COMMENT), "edited");
         }},
        {"single_file",
         [](Slots& s, HWND parent) { return corvel_single_file_options(kPath, &gNoHost, parent, &s.text1); },
         [](ui::Window d) { RetypeAscii(d.Item(IDC_PATH), "C:\\edited.c"); }},
        {"diff",
         [](Slots& s, HWND parent) {
             return corvel_diff_options(kPath, &s.flags[0], &s.flags[1], &gNoHost, parent, &s.text1);
         },
         [](ui::Window d) {
             RetypeAscii(d.Item(IDC_PATH), "C:\\edited.c");
             d.Item(IDC_IGNORE_SPACES).Click();
         }},
        {"rename",
         [](Slots& s, HWND parent) {
             return corvel_rename_options(kPath, u8"név.c", parent, &s.text1, &s.text2);
         },
         [](ui::Window d) {
             RetypeAscii(d.Item(IDC_PATH), "C:\\old.c");
             RetypeAscii(d.Item(IDC_NEW_NAME), "new.c");
         }},
        {"session",
         [](Slots& s, HWND parent) {
             return corvel_session_options(&s.flags[0], &s.flags[1], &s.flags[2], &s.flags[3], &gNoHost,
                                           parent);
         },
         [](ui::Window d) {
             d.Item(IDC_IGNORE_SPACES).Click();
             d.Item(IDC_KEEP_AFTER_ADD).Click();
         }},
    };
    return functions;
}

} // namespace robust
