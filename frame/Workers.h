// The command behind each export, shared by the C++ exports (corvel.h) and the C ones (corvel_c.h). Each
// shows its dialog over `parent` and, on OK, writes the results back and returns DialogEnd::Ok; otherwise
// it changes nothing and says whether the user cancelled or no dialog could be shown at all.
#ifndef CORVEL_WORKERS_H
#define CORVEL_WORKERS_H

#include "AfxWnd.h"
#include "frame/AdvancedOptions.h"

#include <set>
#include <string>

enum class DialogEnd {
    Ok,
    Cancel,
    NotShown // the dialog could not be created: a parent that is no window, no window resources left
};

// DoModal's result as a DialogEnd: -1 is a dialog that never came up.
inline DialogEnd DialogEndOf(INT_PTR result) {
    return result == IDOK ? DialogEnd::Ok : result == -1 ? DialogEnd::NotShown : DialogEnd::Cancel;
}

DialogEnd RunMultiFileOptionsDialog(std::set<std::string>& files,
                                    CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                    const std::set<std::string>& otherFiles, CWnd* parent);
DialogEnd RunCheckInOptionsDialog(std::set<std::string>& files,
                                  CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                  bool& keepCheckedOut, std::string& comment, int maxCommentLength,
                                  const std::set<std::string>& otherFiles, CWnd* parent);
DialogEnd RunCheckOutOptionsDialog(std::set<std::string>& files,
                                   CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                   std::string& comment, int maxCommentLength,
                                   const std::set<std::string>& otherFiles, CWnd* parent);
DialogEnd RunSingleFileOptionsDialog(std::string& path,
                                     CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);
DialogEnd RunDiffOptionsDialog(bool& ignoreCase, bool& ignoreSpaces,
                               CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& path,
                               CWnd* parent);
DialogEnd RunRenameOptionsDialog(std::string& newName, std::string& existingFile, CWnd* parent);
DialogEnd RunSessionOptionsDialog(bool& ignoreCase, bool& ignoreSpaces, bool& keepCheckedOutAfterAdd,
                                  bool& keepCheckedOutAfterCheckIn,
                                  CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);

#endif // CORVEL_WORKERS_H
