// corvel-demo: a host of corvel.dll, written as a real one would be. It implements the host object behind
// the "Advanced..." buttons, calls one of the seven commands with arguments from its command line and
// prints the result and every argument after the call as JSON. `gallery DIR` opens every dialog with
// sample data, saves a PNG of each (the window's own pixels) and the printed result beside it.
#include <corvel/corvel.h>

#include "DemoCommands.h"
#include "Json.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The host's object for the provider's advanced options: a small modal window of its own.
class DemoProvider : public SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid {
public:
    bool available = true;
    bool throws = false;

    void operator()() override {}
    bool ShowAdvancedOptions(HWND owner) override {
        if (throws)
            throw std::runtime_error("the provider is not answering");
        ::MessageBoxA(owner, "The provider's own options for this command would be shown here.",
                      "Advanced Options", MB_OK | MB_ICONINFORMATION);
        return true;
    }
    bool AreAdvancedOptionsAvailable() override {
        if (throws)
            throw std::runtime_error("the provider is not answering");
        return available;
    }
};

struct Arguments : DemoArguments {
    std::string command;
    bool withParent = true;
    std::string galleryFolder;
    std::string gallerySample; // empty: every sample
};

void Usage() {
    std::fputs("usage: corvel-demo COMMAND [OPTIONS]\n"
               "commands: multi checkin checkout single diff rename session | gallery FOLDER [SAMPLE]\n"
               "options:\n"
               "  --file PATH          a path of `files` (repeatable)\n"
               "  --other PATH         a path of `otherFiles` (repeatable)\n"
               "  --keep N             keepCheckedOut (check-in)\n"
               "  --comment TEXT       the comment (check-in, check-out)\n"
               "  --limit N            maxCommentLength (default 100)\n"
               "  --path TEXT          the path (single, diff)\n"
               "  --ignore-case N      --ignore-spaces N (diff, session)\n"
               "  --keep-after-add N   --keep-after-checkin N (session)\n"
               "  --existing TEXT      --new-name TEXT (rename)\n"
               "  --no-advanced        the provider has no advanced options\n"
               "  --throwing-provider  the provider throws from both operations\n"
               "  --no-parent          pass a null parent window\n",
               stderr);
}

bool Parse(int argc, char** argv, Arguments& args, DemoProvider& provider) {
    if (argc < 2)
        return false;
    args.command = argv[1];
    int i = 2;
    if (args.command == "gallery") {
        if (argc < 3)
            return false;
        args.galleryFolder = argv[2];
        i = 3;
        if (argc > 3 && argv[3][0] != '-')
            args.gallerySample = argv[i++];
    }
    for (; i < argc; ++i) {
        const std::string option = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::invalid_argument(option + " needs a value");
            return argv[++i];
        };
        if (option == "--file")
            args.files.insert(value());
        else if (option == "--other")
            args.otherFiles.insert(value());
        else if (option == "--keep")
            args.keepCheckedOut = std::atoi(value().c_str());
        else if (option == "--comment")
            args.comment = value();
        else if (option == "--limit")
            args.limit = std::atoi(value().c_str());
        else if (option == "--path")
            args.path = value();
        else if (option == "--ignore-case")
            args.ignoreCase = std::atoi(value().c_str());
        else if (option == "--ignore-spaces")
            args.ignoreSpaces = std::atoi(value().c_str());
        else if (option == "--keep-after-add")
            args.keepAfterAdd = std::atoi(value().c_str());
        else if (option == "--keep-after-checkin")
            args.keepAfterCheckIn = std::atoi(value().c_str());
        else if (option == "--existing")
            args.existingFile = value();
        else if (option == "--new-name")
            args.newName = value();
        else if (option == "--no-advanced")
            provider.available = false;
        else if (option == "--throwing-provider")
            provider.throws = true;
        else if (option == "--no-parent")
            args.withParent = false;
        else
            throw std::invalid_argument("unknown option " + option);
    }
    return true;
}

// A host window for the dialogs to belong to.
HWND CreateHostWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = "CorvelDemoHost";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowA("CorvelDemoHost", "CORVEL demo host", WS_OVERLAPPEDWINDOW, 40, 40, 640, 420,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::UpdateWindow(window);
    return window;
}

} // namespace

// Runs one command and returns the printed JSON; shared with the gallery.
std::string RunCommand(const std::string& command, DemoArguments& a, HostOptions& provider, HWND parent) {
    JsonObject out;
    out.Add("command", command);
    int result = -1;
    if (command == "multi") {
        result = CorvelDoMultiFileOptions(a.files, provider, a.otherFiles, parent);
        out.Add("result", result).Add("files", a.files).Add("otherFiles", a.otherFiles);
    } else if (command == "checkin") {
        result = CorvelDoCheckInOptions(a.files, provider, a.keepCheckedOut, a.comment, a.limit, a.otherFiles,
                                        parent);
        out.Add("result", result).Add("files", a.files).Add("keepCheckedOut", a.keepCheckedOut);
        out.Add("comment", a.comment).Add("maxCommentLength", a.limit).Add("otherFiles", a.otherFiles);
    } else if (command == "checkout") {
        result = CorvelDoCheckOutOptions(a.files, provider, a.comment, a.limit, a.otherFiles, parent);
        out.Add("result", result).Add("files", a.files).Add("comment", a.comment);
        out.Add("maxCommentLength", a.limit).Add("otherFiles", a.otherFiles);
    } else if (command == "single") {
        result = CorvelDoSingleFileOptions(a.path, provider, parent);
        out.Add("result", result).Add("path", a.path);
    } else if (command == "diff") {
        result = CorvelDoDiffOptions(a.ignoreCase, a.ignoreSpaces, provider, a.path, parent);
        out.Add("result", result).Add("ignoreCase", a.ignoreCase).Add("ignoreSpaces", a.ignoreSpaces);
        out.Add("path", a.path);
    } else if (command == "rename") {
        result = CorvelDoRenameOptions(a.newName, a.existingFile, parent);
        out.Add("result", result).Add("newName", a.newName).Add("existingFile", a.existingFile);
    } else if (command == "session") {
        result = CorvelDoSessionOptions(a.ignoreCase, a.ignoreSpaces, a.keepAfterAdd, a.keepAfterCheckIn,
                                        provider, parent);
        out.Add("result", result).Add("ignoreCase", a.ignoreCase).Add("ignoreSpaces", a.ignoreSpaces);
        out.Add("keepCheckedOutAfterAdd", a.keepAfterAdd)
            .Add("keepCheckedOutAfterCheckIn", a.keepAfterCheckIn);
    } else {
        throw std::invalid_argument("unknown command " + command);
    }
    return out.Text();
}

int main(int argc, char** argv) {
    Arguments args;
    DemoProvider provider;
    try {
        if (!Parse(argc, argv, args, provider)) {
            Usage();
            return 2;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corvel-demo: %s\n", error.what());
        Usage();
        return 2;
    }

    if (args.command == "gallery")
        return RunGallery(args.galleryFolder, args.gallerySample, provider) ? 0 : 1;

    HWND parent = args.withParent ? CreateHostWindow() : nullptr;
    try {
        std::printf("%s\n", RunCommand(args.command, args, provider, parent).c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corvel-demo: %s\n", error.what());
        return 2;
    }
    if (parent)
        ::DestroyWindow(parent);
    return 0;
}
