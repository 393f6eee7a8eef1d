// The seven exports behind one call, with everything a caller hands them in one value, so that what a
// call did to the caller's arguments can be compared whole. Every suite calls the exports through here.
#ifndef CORVEL_TESTS_COMMANDS_H
#define CORVEL_TESTS_COMMANDS_H

#include "FakeProvider.h"
#include "UiDriver.h"

#include <corvel/corvel.h>

#include <array>
#include <ostream>
#include <set>
#include <string>

namespace cmd {

using Provider = SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid;
using Files = std::set<std::string>;

enum class Command { MultiFile, CheckIn, CheckOut, SingleFile, Diff, Rename, Session };

constexpr std::array<Command, 7> kAllCommands = {Command::MultiFile,  Command::CheckIn, Command::CheckOut,
                                                 Command::SingleFile, Command::Diff,    Command::Rename,
                                                 Command::Session};

const char* Name(Command command);
// Names a test parameter by its command, for gtest's INSTANTIATE_TEST_SUITE_P.
struct ParamName {
    template <class Info> std::string operator()(const Info& info) const { return Name(info.param); }
};
// The caption of the command's dialog, and the id of its template in corvel.dll's resources.
const char* Caption(Command command);
int TemplateId(Command command);
bool HasFileList(Command command);
bool HasComment(Command command);
// The edit box holding the command's path or the rename dialog's existing file; 0 when there is none.
int PathBoxId(Command command);
// How many of Arguments::flags the export takes (and writes back after every call).
int FlagCount(Command command);

// Where each export's flags stand in Arguments::flags.
enum FlagIndex {
    kKeepCheckedOut = 0,   // check-in
    kIgnoreCase = 0,       // difference, session
    kIgnoreSpaces = 1,     // difference, session
    kKeepAfterAdd = 2,     // session
    kKeepAfterCheckIn = 3, // session
};

struct Arguments {
    Files files;      // multi-file, check-in, check-out
    Files otherFiles; // the same three
    std::string comment;
    int maxCommentLength = 100;
    std::string path;         // single-file, difference
    std::string newName;      // rename
    std::string existingFile; // rename
    // check-in: keepCheckedOut; difference: ignoreCase, ignoreSpaces; session: all four in parameter order
    // (indexed by the names below).
    std::array<int, 4> flags = {0, 0, 0, 0};

    // The arguments as the export leaves them after any call that was not accepted: only the flags it
    // takes changed, reduced to 0 or 1.
    Arguments WithFlagsReduced(Command command) const;

    friend bool operator==(const Arguments& a, const Arguments& b) {
        return a.files == b.files && a.otherFiles == b.otherFiles && a.comment == b.comment &&
               a.maxCommentLength == b.maxCommentLength && a.path == b.path && a.newName == b.newName &&
               a.existingFile == b.existingFile && a.flags == b.flags;
    }
    friend bool operator!=(const Arguments& a, const Arguments& b) { return !(a == b); }
};

// Long strings and sets are summarised (length, a checksum and their ends), so a failure stays readable.
void PrintTo(const Arguments& arguments, std::ostream* out);
std::string Describe(const std::string& text);

// Calls the command's export with `arguments` in place.
int Invoke(Command command, Arguments& arguments, Provider& provider, HWND parent);

// One call of a command as a test makes it: the arguments (inherited, to be set before and read after),
// the host object and the result.
struct Call : Arguments {
    explicit Call(Command which, const Arguments& arguments = Arguments())
        : Arguments(arguments), command(which) {}

    Command command;
    FakeProvider provider;
    int result = -1;

    const char* Caption() const { return cmd::Caption(command); }
    Arguments& arguments() { return *this; }
    // Calls the export (parent none) while `script` drives its dialog.
    void Run(ui::Script& script);
};

// Arguments that give every command something of each kind to show.
Arguments TypicalArguments();

// Changes everything the command's dialog shows, as a user would before pressing OK: Select All in a
// file list, every check box toggled, every edit box given a new text. Check boxes are clicked by posted
// input, texts are set at once; a click on OK posted afterwards is processed after them all.
void PostEdits(Command command, ui::Window dialog);
// What the caller's arguments become when the dialog is accepted after PostEdits.
Arguments AfterEdits(Command command, const Arguments& before);

} // namespace cmd

#endif // CORVEL_TESTS_COMMANDS_H
