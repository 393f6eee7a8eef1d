// The DLL as a host meets it: its export table, binding an export by its C++ name at run time, and what
// every command writes back after the user has changed everything and left by each way there is.
#include "Commands.h"
#include "FakeProvider.h"
#include "UiDriver.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::set<std::string> kExports = {
    "_Z24CorvelDoMultiFileOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt4lessIS5_"
    "ESaIS5_"
    "EERN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERKS9_P6HWND__",
    "_Z22CorvelDoCheckInOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt4lessIS5_ESaIS5_"
    "EERN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERiRS5_iRKS9_P6HWND__",
    "_Z23CorvelDoCheckOutOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEESt4lessIS5_"
    "ESaIS5_"
    "EERN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERS5_iRKS9_P6HWND__",
    "_Z25CorvelDoSingleFileOptionsRNSt7__cxx1112basic_stringIcSt11char_"
    "traitsIcESaIcEEERN13SourceControl11SCCP"
    "rovider40CSCCAbstractGetCommandOptionsFunctionoidEP6HWND__",
    "_Z19CorvelDoDiffOptionsRiS_"
    "RN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoidERNSt7"
    "__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEP6HWND__",
    "_Z21CorvelDoRenameOptionsRNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES5_P6HWND__",
    "_Z22CorvelDoSessionOptionsRiS_S_S_"
    "RN13SourceControl11SCCProvider40CSCCAbstractGetCommandOptionsFunctionoid"
    "EP6HWND__",
    // The C interface: plain names, __cdecl.
    "corvel_multi_file_options",
    "corvel_check_in_options",
    "corvel_check_out_options",
    "corvel_single_file_options",
    "corvel_diff_options",
    "corvel_rename_options",
    "corvel_session_options",
    "corvel_with_options",
    "corvel_release",
};

class LoadedLibrary {
public:
    LoadedLibrary() : m_module(::LoadLibraryA("corvel.dll")) {}
    ~LoadedLibrary() {
        if (m_module)
            ::FreeLibrary(m_module);
    }
    HMODULE get() const { return m_module; }

private:
    HMODULE m_module;
};

const IMAGE_NT_HEADERS* NtHeaders(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

std::vector<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& entry =
        NtHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (entry.Size == 0)
        return names;
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.push_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames) << "exports by ordinal only";
    return names;
}

// The same names on both architectures: the Itanium mangling of these declarations does not change with the
// pointer size, and i686 export names carry no leading underscore.
TEST(ExportTable, IsADllOfTheHostsArchitectureThatExportsExactlyTheSevenCommandsInCppAndInC) {
    LoadedLibrary library;
    ASSERT_NE(library.get(), nullptr);
    const IMAGE_NT_HEADERS* headers = NtHeaders(library.get());
#ifdef _WIN64
    EXPECT_EQ(headers->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(headers->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
#else
    EXPECT_EQ(headers->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(headers->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
#endif
    EXPECT_TRUE(headers->FileHeader.Characteristics & IMAGE_FILE_DLL);

    std::vector<std::string> names = ExportedNames(library.get());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), kExports);
    EXPECT_EQ(names.size(), kExports.size());
}

TEST(ExportTable, AHostBindsTheMultiFileCommandByItsMangledName) {
    using MultiFileOptions =
        int (*)(std::set<std::string>&, SourceControl::SCCProvider::CSCCAbstractGetCommandOptionsFunctionoid&,
                const std::set<std::string>&, HWND);
    LoadedLibrary library;
    auto run = reinterpret_cast<MultiFileOptions>(reinterpret_cast<void*>(::GetProcAddress(
        library.get(), "_Z24CorvelDoMultiFileOptionsRSt3setINSt7__cxx1112basic_stringIcSt11char_"
                       "traitsIcESaIcEEESt4lessIS5_ESaIS5_EERN13SourceControl11SCCProvider40CSCCAbs"
                       "tractGetCommandOptionsFunctionoidERKS9_P6HWND__")));
    ASSERT_NE(run, nullptr);

    std::set<std::string> files = {"a.c"};
    const std::set<std::string> others = {"b.c"};
    FakeProvider provider;
    int result = -1;
    ui::Script script;
    script.OnDialog("Options", [](ui::Window dialog) {
        dialog.Item(IDC_FILE_LIST).ClickRowCheckBox(1);
        dialog.Item(IDOK).Click();
    });
    script.Run([&] { result = run(files, provider, others, nullptr); });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(files, (std::set<std::string>{"a.c", "b.c"}));
}

// OK gives back every edit; every way of leaving without OK gives back the caller's own values, but for
// the flags, which each export writes back after every call, reduced to 0 or 1.
class LeavingTheDialog : public ::testing::TestWithParam<std::tuple<cmd::Command, ui::Close>> {};

TEST_P(LeavingTheDialog, AfterEveryEditWritesBackWhatOkMeans) {
    const cmd::Command command = std::get<0>(GetParam());
    const ui::Close how = std::get<1>(GetParam());
    cmd::Call call(command, cmd::TypicalArguments());
    ui::Script script;
    script.OnDialog(call.Caption(), [command](ui::Window dialog) { cmd::PostEdits(command, dialog); });
    script.OnDialog(call.Caption(), [how](ui::Window dialog) { ui::PostClose(dialog, how); });
    call.Run(script);

    const bool ok = how == ui::Close::Ok;
    EXPECT_EQ(call.result, ok ? 1 : 0);
    EXPECT_EQ(call.arguments(), ok ? cmd::AfterEdits(command, cmd::TypicalArguments())
                                   : cmd::TypicalArguments().WithFlagsReduced(command));
    EXPECT_TRUE(ui::ThreadDialogs().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, LeavingTheDialog,
                         ::testing::Combine(::testing::ValuesIn(cmd::kAllCommands),
                                            ::testing::Values(ui::Close::Ok, ui::Close::Cancel,
                                                              ui::Close::Escape, ui::Close::CloseBox)),
                         [](const ::testing::TestParamInfo<std::tuple<cmd::Command, ui::Close>>& info) {
                             return std::string(cmd::Name(std::get<0>(info.param))) + "_" +
                                    ui::Name(std::get<1>(info.param));
                         });

} // namespace
