#include "FileDialogDriver.h"

#include <gtest/gtest.h>

#include <cstring>

namespace filedlg {

namespace {

OpenFileNameRecorder* g_recorder = nullptr;

std::string SendForText(HWND hwnd, UINT message) {
    std::vector<char> buffer(32768, '\0');
    const LRESULT length =
        ::SendMessageA(hwnd, message, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    if (length < 0)
        return "<failed>";
    return std::string(buffer.data());
}

std::string DoubleNulList(const char* list) {
    std::string bytes;
    do {
        const size_t length = std::strlen(list);
        bytes.append(list, length + 1);
        list += length + 1;
    } while (*list);
    bytes.push_back('\0');
    return bytes;
}

} // namespace

bool IsOpenFileDialog(ui::Window window) {
    return window && window.Item(kFileNameCombo);
}

std::string FolderPath(ui::Window fileDialog) {
    return SendForText(fileDialog.hwnd(), CDM_GETFOLDERPATH);
}

std::string FileNameBox(ui::Window fileDialog) {
    return SendForText(fileDialog.hwnd(), CDM_GETSPEC);
}

void AcceptName(ui::Window fileDialog, const std::string& name) {
    ::SetWindowTextA(fileDialog.Item(kFileNameCombo).hwnd(), name.c_str());
    ::PostMessageA(fileDialog.hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(fileDialog.Item(IDOK).hwnd()));
}

ui::Script::Step WhenOpen(std::function<void(ui::Window fileDialog)> action) {
    return [action]() {
        ui::Window dialog = ui::ActiveDialog();
        if (!IsOpenFileDialog(dialog))
            return false;
        action(dialog);
        return true;
    };
}

void CreateFileAt(const std::string& path) {
    for (size_t separator = path.find('\\', 3); separator != std::string::npos;
         separator = path.find('\\', separator + 1))
        ::CreateDirectoryA(path.substr(0, separator).c_str(), nullptr);
    HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, "x\r\n", 3, &written, nullptr);
    ::CloseHandle(file);
}

void RemoveFile(const std::string& path) {
    ::DeleteFileA(path.c_str());
}

// ---- OpenFileNameRecorder --------------------------------------------------------------------------

OpenFileNameRecorder::OpenFileNameRecorder(Answer answer) : m_answer(std::move(answer)) {
    g_recorder = this;
    m_hook = std::make_unique<hook::ImportHook>("comdlg32.dll", "GetOpenFileNameA",
                                                reinterpret_cast<void*>(&OpenFileNameRecorder::Hooked));
    if (!m_hook->Installed())
        ADD_FAILURE() << "corvel.dll does not import comdlg32!GetOpenFileNameA";
}

OpenFileNameRecorder::~OpenFileNameRecorder() {
    m_hook.reset();
    g_recorder = nullptr;
}

BOOL WINAPI OpenFileNameRecorder::Hooked(OPENFILENAMEA* ofn) {
    OpenFileNameCall call;
    call.structSize = ofn->lStructSize;
    call.owner = ofn->hwndOwner;
    call.flags = ofn->Flags;
    call.filterIsNull = ofn->lpstrFilter == nullptr;
    if (ofn->lpstrFilter)
        call.filter = DoubleNulList(ofn->lpstrFilter);
    call.customFilterIsNull = ofn->lpstrCustomFilter == nullptr;
    call.maxFile = ofn->nMaxFile;
    if (ofn->lpstrFile)
        call.fileName.assign(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
    call.initialDirIsNull = ofn->lpstrInitialDir == nullptr;
    if (ofn->lpstrInitialDir)
        call.initialDir = ofn->lpstrInitialDir;
    call.titleIsNull = ofn->lpstrTitle == nullptr;
    call.defExtIsNull = ofn->lpstrDefExt == nullptr;
    call.hookIsNull = ofn->lpfnHook == nullptr;
    call.templateIsNull = ofn->lpTemplateName == nullptr;
    g_recorder->m_calls.push_back(call);
    return g_recorder->m_answer(*ofn);
}

OpenFileNameRecorder::Answer OpenFileNameRecorder::Choose(std::string path) {
    return [path](OPENFILENAMEA& ofn) -> BOOL {
        if (path.size() + 1 > ofn.nMaxFile) {
            if (ofn.nMaxFile >= 2)
                *reinterpret_cast<WORD*>(ofn.lpstrFile) = static_cast<WORD>(path.size() + 1);
            return FALSE;
        }
        std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
        return TRUE;
    };
}

OpenFileNameRecorder::Answer OpenFileNameRecorder::Cancel() {
    return [](OPENFILENAMEA&) -> BOOL { return FALSE; };
}

} // namespace filedlg
