#include "Browse.h"

#include "AfxFileDialog.h"
#include "PathParts.h"

#include <string>

void BrowseForPath(CDialog& dialog, CString& pathMember) {
    dialog.UpdateData(TRUE);
    const CPathParts parts(std::string(pathMember.GetString()),
                           dialog.m_nTextCodePage == CP_UTF8 ? CPathParts::kUtf8 : CPathParts::kAnsi);

    // No default extension: a name typed without one comes back as typed. Existence is not required.
    CFileDialog fileDialog(TRUE, nullptr, parts.GetNameAndExt().c_str(), OFN_HIDEREADONLY,
                           "All Files (*.*)|*.*||", &dialog);
    // Empty rather than null when the path names no folder; it must outlive DoModal.
    const std::string initialDir = parts.GetDriveAndDir();
    fileDialog.m_ofn.lpstrInitialDir = initialDir.c_str();

    if (fileDialog.DoModal() == IDCANCEL)
        return;
    pathMember = fileDialog.GetPathName();
    dialog.UpdateData(FALSE);
}
