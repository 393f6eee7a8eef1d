// The platform's open-file dialog as the library opens it: driven for real (Wine's Explorer-style
// dialog) or replaced by a recorder that keeps what the library asked for.
#ifndef CORVEL_TESTS_FILE_DIALOG_DRIVER_H
#define CORVEL_TESTS_FILE_DIALOG_DRIVER_H

#include "NoCopy.h"
#include "ImportHook.h"
#include "UiDriver.h"

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace filedlg {

// ---- The real dialog -------------------------------------------------------------------------------

// Wine's file-name box: a combo box, not edt1.
constexpr int kFileNameCombo = 0x47C;

bool IsOpenFileDialog(ui::Window window);
// The folder the dialog shows and the text of its file-name box.
std::string FolderPath(ui::Window fileDialog);
std::string FileNameBox(ui::Window fileDialog);
// Types `name` into the file-name box and presses Open.
void AcceptName(ui::Window fileDialog, const std::string& name);

// A script step that waits for the open-file dialog to be the active one and hands it over.
ui::Script::Step WhenOpen(std::function<void(ui::Window fileDialog)> action);

// Creates `path` (with missing folders) holding a few bytes, or removes a file.
void CreateFileAt(const std::string& path);
void RemoveFile(const std::string& path);

// ---- The recorder ----------------------------------------------------------------------------------

// What the library passed to GetOpenFileNameA, copied during the call.
struct OpenFileNameCall {
    DWORD structSize = 0;
    HWND owner = nullptr;
    DWORD flags = 0;
    bool filterIsNull = true;
    std::string filter; // every byte up to and including the closing double NUL
    bool customFilterIsNull = true;
    std::string fileName; // the initial content of lpstrFile
    DWORD maxFile = 0;
    bool initialDirIsNull = true;
    std::string initialDir;
    bool titleIsNull = true;
    bool defExtIsNull = true;
    bool hookIsNull = true;
    bool templateIsNull = true;
};

// For its lifetime, corvel.dll's import of comdlg32!GetOpenFileNameA leads here: each call is recorded
// and `answer` plays the user. Only corvel.dll is affected; the test process's own calls are not.
class OpenFileNameRecorder : NoCopy {
public:
    using Answer = std::function<BOOL(OPENFILENAMEA&)>;

    explicit OpenFileNameRecorder(Answer answer);
    ~OpenFileNameRecorder();

    const std::vector<OpenFileNameCall>& Calls() const { return m_calls; }

    // The user picks `path`. As the platform does, a buffer too small for it fails the call
    // (FNERR_BUFFERTOOSMALL) and the choice is lost.
    static Answer Choose(std::string path);
    static Answer Cancel();

private:
    static BOOL WINAPI Hooked(OPENFILENAMEA* ofn);

    Answer m_answer;
    std::vector<OpenFileNameCall> m_calls;
    std::unique_ptr<hook::ImportHook> m_hook;
};

} // namespace filedlg

#endif // CORVEL_TESTS_FILE_DIALOG_DRIVER_H
