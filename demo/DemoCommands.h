// What the demo host passes to the seven commands, and how it calls them.
#ifndef CORVEL_DEMO_COMMANDS_H
#define CORVEL_DEMO_COMMANDS_H

#include <corvel/corvel.h>

#include <set>
#include <string>

using HostOptions = SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid;

struct DemoArguments {
    std::set<std::string> files, otherFiles;
    int keepCheckedOut = 0, ignoreCase = 0, ignoreSpaces = 0, keepAfterAdd = 0, keepAfterCheckIn = 0;
    std::string comment, path, newName, existingFile;
    int limit = 100;
};

// Calls the command (multi, checkin, checkout, single, diff, rename, session) and returns its result and
// every argument after the call as a JSON object.
std::string RunCommand(const std::string& command, DemoArguments& arguments, HostOptions& provider,
                       HWND parent);

// Opens every dialog with sample data (or only the sample named `only`), saves a PNG of each and its
// printed result into `folder`; false when a picture could not be saved or no sample has that name.
bool RunGallery(const std::string& folder, const std::string& only, HostOptions& provider);

#endif // CORVEL_DEMO_COMMANDS_H
