// CSingleFileOptionsDialog: a command on one file. The path, editable and with Browse, and the
// provider's advanced options.
#ifndef CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H
#define CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H

#include "PathOptionsDialog.h"

class CSingleFileOptionsDialog : public CPathOptionsDialog {
public:
    CSingleFileOptionsDialog(const std::string& path,
                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CSingleFileOptionsDialog() override;

protected:
    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_SINGLE_FILE_OPTIONS_DIALOG_H
