// The three path commands as a test calls them, and edit-box input as a user types it.
#ifndef CORVEL_TESTS_PATH_DIALOG_CALLS_H
#define CORVEL_TESTS_PATH_DIALOG_CALLS_H

#include "FakeProvider.h"
#include "UiDriver.h"

#include <corvel/corvel.h>

#include <functional>
#include <string>

// Selects the whole text and types over it; an empty text is a Backspace over the selection.
inline void Retype(ui::Window edit, const std::string& text) {
    ::SendMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
    edit.Type(text.empty() ? std::string("\b") : text);
}

// Runs `action` once on the active dialog when its caption is `caption` (any caption if empty). Unlike
// Script::OnDialog this also finds the rename dialog: its unnumbered labels (id -1) make the driver take
// it for a message box.
inline ui::Script& OnPathDialog(ui::Script& script, std::string caption,
                                std::function<void(ui::Window)> action) {
    return script.Then("dialog \"" + caption + "\"", [caption, action]() {
        ui::Window dialog = ui::ActiveDialog();
        if (!dialog || (!caption.empty() && dialog.Text() != caption))
            return false;
        action(dialog);
        return true;
    });
}

struct SingleFileCall {
    std::string path;
    FakeProvider provider;
    int result = -1;

    void Run(ui::Script& script) {
        script.Run([this] { result = CorvelDoSingleFileOptions(path, provider, nullptr); });
    }
};

struct DiffCall {
    int ignoreCase = 0;
    int ignoreSpaces = 0;
    std::string path;
    FakeProvider provider;
    int result = -1;

    void Run(ui::Script& script) {
        script.Run(
            [this] { result = CorvelDoDiffOptions(ignoreCase, ignoreSpaces, provider, path, nullptr); });
    }
};

struct RenameCall {
    std::string newName;
    std::string existingFile;
    int result = -1;

    void Run(ui::Script& script) {
        script.Run([this] { result = CorvelDoRenameOptions(newName, existingFile, nullptr); });
    }
};

#endif // CORVEL_TESTS_PATH_DIALOG_CALLS_H
