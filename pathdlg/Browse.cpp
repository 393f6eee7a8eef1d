#include "Browse.h"

#include "AfxFileDialog.h"
#include "AfxLanguage.h"
#include "AfxText.h"
#include "PathParts.h"
#include "resource.h"

#include <string>

namespace {

// "All Files (*.*)|*.*||" in the thread's language and in the dialog's code page; in English when that
// code page cannot hold the translation, as an ANSI code page of another script cannot.
std::string AllFilesFilter(UINT codePage) {
    const std::wstring name = AfxLoadString(IDS_ALL_FILES);
    const std::string converted = AfxTextFromWide(name.c_str(), static_cast<int>(name.size()), codePage);
    const bool whole = !name.empty() && AfxWideFromText(converted.c_str(), codePage) == name;
    return (whole ? converted : std::string("All Files (*.*)")) + "|*.*||";
}

} // namespace

void BrowseForPath(CDialog& dialog, CString& pathMember) {
    dialog.UpdateData(TRUE);
    const CPathParts parts(std::string(pathMember.GetString()),
                           dialog.m_nTextCodePage == CP_UTF8 ? CPathParts::kUtf8 : CPathParts::kAnsi);

    // No default extension: a name typed without one comes back as typed. Existence is not required.
    const std::string filter = AllFilesFilter(dialog.m_nTextCodePage == CP_UTF8 ? CP_UTF8 : CP_ACP);
    CFileDialog fileDialog(TRUE, nullptr, parts.GetNameAndExt().c_str(), OFN_HIDEREADONLY, filter.c_str(),
                           &dialog);
    // Empty rather than null when the path names no folder; it must outlive DoModal.
    const std::string initialDir = parts.GetDriveAndDir();
    fileDialog.m_ofn.lpstrInitialDir = initialDir.c_str();

    if (fileDialog.DoModal() == IDCANCEL)
        return;
    pathMember = fileDialog.GetPathName();
    dialog.UpdateData(FALSE);
}
