// The command behind each export, shared by the C++ exports (corvel.h) and the C ones (corvel_c.h). Each
// shows its dialog over `parent` and, on OK, writes the results back and returns true; otherwise it
// changes nothing and returns false.
#ifndef CORVEL_WORKERS_H
#define CORVEL_WORKERS_H

#include "AfxWnd.h"
#include "frame/AdvancedOptions.h"

#include <set>
#include <string>

bool RunMultiFileOptionsDialog(std::set<std::string>& files,
                               CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                               const std::set<std::string>& otherFiles, CWnd* parent);
bool RunCheckInOptionsDialog(std::set<std::string>& files,
                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, bool& keepCheckedOut,
                             std::string& comment, int maxCommentLength,
                             const std::set<std::string>& otherFiles, CWnd* parent);
bool RunCheckOutOptionsDialog(std::set<std::string>& files,
                              CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& comment,
                              int maxCommentLength, const std::set<std::string>& otherFiles, CWnd* parent);
bool RunSingleFileOptionsDialog(std::string& path, CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions,
                                CWnd* parent);
bool RunDiffOptionsDialog(bool& ignoreCase, bool& ignoreSpaces,
                          CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, std::string& path,
                          CWnd* parent);
bool RunRenameOptionsDialog(std::string& newName, std::string& existingFile, CWnd* parent);
bool RunSessionOptionsDialog(bool& ignoreCase, bool& ignoreSpaces, bool& keepCheckedOutAfterAdd,
                             bool& keepCheckedOutAfterCheckIn,
                             CSCCAbstractGetCommandOptionsFunctionoid& advancedOptions, CWnd* parent);

#endif // CORVEL_WORKERS_H
