#include "Commands.h"

#include "resource.h"

#include <cstdio>
#include <vector>

namespace cmd {

namespace {

struct CommandFacts {
    const char* name;
    const char* caption;
    int templateId;
    int flagCount;
};

// In the order of the Command enumeration.
const CommandFacts kFacts[] = {
    {"MultiFile", "Options", IDD_MULTI_FILE_OPTIONS, 0},
    {"CheckIn", "Options", IDD_CHECK_IN_OPTIONS, 1},
    {"CheckOut", "Check Out Options", IDD_CHECK_OUT_OPTIONS, 0},
    {"SingleFile", "Options", IDD_SINGLE_FILE_OPTIONS, 0},
    {"Diff", "Difference Options", IDD_DIFF_OPTIONS, 2},
    {"Rename", "Rename Options", IDD_RENAME_OPTIONS, 0},
    {"Session", "Source Control Options", IDD_SESSION_OPTIONS, 4},
};

const CommandFacts& Facts(Command command) {
    return kFacts[static_cast<size_t>(command)];
}

} // namespace

const char* Name(Command command) {
    return Facts(command).name;
}

const char* Caption(Command command) {
    return Facts(command).caption;
}

int TemplateId(Command command) {
    return Facts(command).templateId;
}

int FlagCount(Command command) {
    return Facts(command).flagCount;
}

bool HasFileList(Command command) {
    return command == Command::MultiFile || command == Command::CheckIn || command == Command::CheckOut;
}

bool HasComment(Command command) {
    return command == Command::CheckIn || command == Command::CheckOut;
}

int PathBoxId(Command command) {
    return command == Command::SingleFile || command == Command::Diff || command == Command::Rename ? IDC_PATH
                                                                                                    : 0;
}

Arguments Arguments::WithFlagsReduced(Command command) const {
    Arguments reduced = *this;
    for (int i = 0; i < FlagCount(command); ++i)
        reduced.flags[i] = reduced.flags[i] != 0 ? 1 : 0;
    return reduced;
}

std::string Describe(const std::string& text) {
    std::string shown;
    const auto show = [&shown](const std::string& part) {
        for (unsigned char c : part) {
            if (c >= 0x20 && c < 0x7F) {
                shown += static_cast<char>(c);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                shown += hex;
            }
        }
    };
    if (text.size() <= 80) {
        show(text);
        return "\"" + shown + "\"";
    }
    unsigned long sum = 0;
    for (unsigned char c : text)
        sum = sum * 31 + c;
    shown = "<" + std::to_string(text.size()) + " chars, sum " + std::to_string(sum) + ": \"";
    show(text.substr(0, 24));
    shown += "...";
    show(text.substr(text.size() - 24));
    return shown + "\">";
}

namespace {

void PrintFiles(const Files& files, std::ostream* out) {
    *out << "{";
    if (files.size() > 6) {
        *out << files.size() << " paths, first " << Describe(*files.begin()) << ", last "
             << Describe(*files.rbegin());
    } else {
        const char* separator = "";
        for (const std::string& path : files) {
            *out << separator << Describe(path);
            separator = ", ";
        }
    }
    *out << "}";
}

} // namespace

void PrintTo(const Arguments& a, std::ostream* out) {
    *out << "files ";
    PrintFiles(a.files, out);
    *out << ", otherFiles ";
    PrintFiles(a.otherFiles, out);
    *out << ", comment " << Describe(a.comment) << " (max " << a.maxCommentLength << "), path "
         << Describe(a.path) << ", newName " << Describe(a.newName) << ", existingFile "
         << Describe(a.existingFile) << ", flags (" << a.flags[0] << ", " << a.flags[1] << ", " << a.flags[2]
         << ", " << a.flags[3] << ")";
}

int Invoke(Command command, Arguments& a, Provider& provider, HWND parent) {
    switch (command) {
    case Command::MultiFile:
        return CorvelDoMultiFileOptions(a.files, provider, a.otherFiles, parent);
    case Command::CheckIn:
        return CorvelDoCheckInOptions(a.files, provider, a.flags[0], a.comment, a.maxCommentLength,
                                      a.otherFiles, parent);
    case Command::CheckOut:
        return CorvelDoCheckOutOptions(a.files, provider, a.comment, a.maxCommentLength, a.otherFiles,
                                       parent);
    case Command::SingleFile:
        return CorvelDoSingleFileOptions(a.path, provider, parent);
    case Command::Diff:
        return CorvelDoDiffOptions(a.flags[0], a.flags[1], provider, a.path, parent);
    case Command::Rename:
        return CorvelDoRenameOptions(a.newName, a.existingFile, parent);
    case Command::Session:
        return CorvelDoSessionOptions(a.flags[0], a.flags[1], a.flags[2], a.flags[3], provider, parent);
    }
    return -1;
}

void Call::Run(ui::Script& script) {
    script.Run([this] { result = Invoke(command, arguments(), provider, nullptr); });
}

Arguments TypicalArguments() {
    Arguments a;
    a.files = {"C:\\work\\src\\main.c", "C:\\work\\src\\util.c", "C:\\work\\include\\util.h"};
    a.otherFiles = {"C:\\work\\src\\util.c", "C:\\work\\README", "C:\\work\\src\\extra.c"};
    a.comment = "Fix the parser";
    a.maxCommentLength = 100;
    a.path = "C:\\work\\src\\main.c";
    a.newName = "main2.c";
    a.existingFile = "C:\\work\\src\\main.c";
    a.flags = {7, 0, -1, 1};
    return a;
}

namespace {

const char* const kEditedComment = "edited comment";
const char* const kEditedPath = "D:\\edited\\path.c";
const char* const kEditedName = "edited-name.c";

// The check boxes of each command, in the order of its flag parameters.
std::vector<int> CheckBoxes(Command command) {
    switch (command) {
    case Command::CheckIn:
        return {IDC_KEEP_CHECKED_OUT};
    case Command::Diff:
        return {IDC_IGNORE_CASE, IDC_IGNORE_SPACES};
    case Command::Session:
        return {IDC_IGNORE_CASE, IDC_IGNORE_SPACES, IDC_KEEP_AFTER_ADD, IDC_KEEP_AFTER_CHECK_IN};
    default:
        return {};
    }
}

} // namespace

void PostEdits(Command command, ui::Window dialog) {
    if (HasFileList(command))
        ::PostMessageA(::GetDlgItem(dialog.hwnd(), IDC_SELECT_ALL), BM_CLICK, 0, 0);
    for (int id : CheckBoxes(command))
        ::PostMessageA(::GetDlgItem(dialog.hwnd(), id), BM_CLICK, 0, 0);
    if (HasComment(command))
        ::SetDlgItemTextA(dialog.hwnd(), IDC_COMMENT, kEditedComment);
    if (PathBoxId(command))
        ::SetDlgItemTextA(dialog.hwnd(), PathBoxId(command), kEditedPath);
    if (command == Command::Rename)
        ::SetDlgItemTextA(dialog.hwnd(), IDC_NEW_NAME, kEditedName);
}

Arguments AfterEdits(Command command, const Arguments& before) {
    Arguments after = before.WithFlagsReduced(command);
    if (HasFileList(command))
        after.files.insert(before.otherFiles.begin(), before.otherFiles.end());
    for (int i = 0; i < FlagCount(command); ++i)
        after.flags[i] = after.flags[i] ? 0 : 1;
    if (HasComment(command))
        after.comment = kEditedComment;
    if (command == Command::SingleFile || command == Command::Diff)
        after.path = kEditedPath;
    if (command == Command::Rename) {
        after.existingFile = kEditedPath;
        after.newName = kEditedName;
    }
    return after;
}

} // namespace cmd
