#include "Browse.h"

#include "AfxFileDialog.h"
#include "AfxLanguage.h"
#include "PathParts.h"
#include "resource.h"

#include <string>

namespace {

// "All Files (*.*)|*.*||" in the thread's language and in the dialog's code page; in English when that
// code page cannot hold the translation, as an ANSI code page of another script cannot.
std::string AllFilesFilter(UINT codePage) {
    const std::wstring name = AfxLoadString(IDS_ALL_FILES);
    std::string converted;
    if (!name.empty()) {
        BOOL lossy = FALSE;
        const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
        const int size = ::WideCharToMultiByte(codePage, flags, name.c_str(), static_cast<int>(name.size()),
                                               nullptr, 0, nullptr, codePage == CP_UTF8 ? nullptr : &lossy);
        if (size > 0 && !lossy) {
            converted.resize(static_cast<size_t>(size));
            ::WideCharToMultiByte(codePage, 0, name.c_str(), static_cast<int>(name.size()), &converted[0],
                                  size, nullptr, nullptr);
        }
    }
    return (converted.empty() ? std::string("All Files (*.*)") : converted) + "|*.*||";
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
