// CDiffOptionsDialog: before differences are shown. The path, with Browse, "Ignore Case", "Ignore
// Spaces" and the provider's advanced options.
#ifndef CORVEL_DIFF_OPTIONS_DIALOG_H
#define CORVEL_DIFF_OPTIONS_DIALOG_H

#include "PathOptionsDialog.h"

class CDiffOptionsDialog : public CPathOptionsDialog {
public:
    CDiffOptionsDialog(const std::string& path, bool ignoreCase, bool ignoreSpaces,
                       CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
    ~CDiffOptionsDialog() override;

    bool GetIgnoreCase() const { return m_bIgnoreCase != 0; }
    bool GetIgnoreSpaces() const { return m_bIgnoreSpaces != 0; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    int m_bIgnoreCase;
    int m_bIgnoreSpaces;

    DECLARE_MESSAGE_MAP()
};

#endif // CORVEL_DIFF_OPTIONS_DIALOG_H
