// The command on several files: the check list itself, on its own template.
#include "FileChecklistDialog.h"
#include "frame/ExportConvention.h"
#include "frame/Workers.h"

DialogEnd RunMultiFileOptionsDialog(std::set<std::string>& files,
                                    CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                    const std::set<std::string>& otherFiles, CWnd* parent) {
    CFileChecklistDialog dialog(files, otherFiles, advancedOptions, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // Build the result first and swap it in, so a failure part-way leaves the caller's set as it was.
    std::set<std::string> checked = dialog.TakeCheckedFiles();
    files.swap(checked);
    return DialogEnd::Ok;
}

int CorvelDoMultiFileOptions(std::set<std::string>& files,
                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                             const std::set<std::string>& otherFiles, HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        return RunMultiFileOptionsDialog(files, advancedOptions, otherFiles, CWnd::FromHandle(parent)) ==
                       DialogEnd::Ok
                   ? 1
                   : 0;
    });
}
