#include "SingleFileOptionsDialog.h"

#include "frame/ExportConvention.h"
#include "frame/Workers.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CSingleFileOptionsDialog, CPathOptionsDialog)
END_MESSAGE_MAP()

CSingleFileOptionsDialog::CSingleFileOptionsDialog(const std::string& path,
                                                   CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                                   CWnd* parent)
    : CPathOptionsDialog(IDD_SINGLE_FILE_OPTIONS, path, advancedOptions, parent) {}

CSingleFileOptionsDialog::~CSingleFileOptionsDialog() = default;

DialogEnd RunSingleFileOptionsDialog(std::string& path,
                                     CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                     CWnd* parent) {
    CSingleFileOptionsDialog dialog(path, advancedOptions, parent);
    const DialogEnd end = DialogEndOf(dialog.DoModal());
    if (end != DialogEnd::Ok)
        return end;
    // The copy is made before the caller's string changes: a failure leaves it as it was.
    std::string chosen = dialog.GetPath();
    path.swap(chosen);
    return DialogEnd::Ok;
}

int CorvelDoSingleFileOptions(std::string& path, CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                              HWND parent) {
    return CORVEL_CXX_EXPORT([&] {
        CORVEL_ENTER_EXPORT();
        return RunSingleFileOptionsDialog(path, advancedOptions, CWnd::FromHandle(parent)) == DialogEnd::Ok
                   ? 1
                   : 0;
    });
}
