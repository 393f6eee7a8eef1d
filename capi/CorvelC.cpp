// The C exports (corvel_c.h): the same workers as the C++ exports, with UTF-8 texts. Arguments are checked
// before anything is shown, the dialogs run as Unicode windows (AfxText.h), and results are copied into
// blocks that the host gives back with corvel_release. Nothing thrown inside gets out.
#include <corvel/corvel_c.h>

#include "Utf8.h"
#include "AfxAppearance.h"
#include "frame/ExportConvention.h"
#include "frame/Workers.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <set>
#include <string>

namespace {

int CheckText(const char* text) {
    return !text || corvel::IsValidUtf8(text) ? CORVEL_OK : CORVEL_E_INVALID_UTF8;
}

int CheckFiles(const char* const* files, size_t count) {
    if (count > 0 && !files)
        return CORVEL_E_NULL_ARRAY;
    int status = CORVEL_OK;
    for (size_t i = 0; i < count; ++i) {
        if (!files[i])
            return CORVEL_E_NULL_ARGUMENT;
        if (status == CORVEL_OK)
            status = CheckText(files[i]);
    }
    return status;
}

int CheckHost(const corvel_host* host) {
    return host && host->advanced_options_available && !host->show_advanced_options ? CORVEL_E_NULL_ARGUMENT
                                                                                    : CORVEL_OK;
}

// The first failure of several checks, CORVEL_OK when there is none.
int FirstFailure(std::initializer_list<int> checks) {
    for (int status : checks)
        if (status != CORVEL_OK)
            return status;
    return CORVEL_OK;
}

int Required(std::initializer_list<const void*> pointers) {
    for (const void* pointer : pointers)
        if (!pointer)
            return CORVEL_E_NULL_ARGUMENT;
    return CORVEL_OK;
}

std::set<std::string> ToSet(const char* const* files, size_t count) {
    std::set<std::string> set;
    for (size_t i = 0; i < count; ++i)
        set.insert(set.end(), files[i]);
    return set;
}

std::string ToString(const char* text) {
    return text ? std::string(text) : std::string();
}

// The host's callbacks as the dialogs' host object. A show that reports failure is thrown as one, so the
// dialog answers it exactly as it answers a C++ host object that throws.
class CCallbackHost : public CSCCAbstractGetCommandOptionsFunctionoid {
public:
    explicit CCallbackHost(const corvel_host* host) : m_pHost(host) {}
    void operator()() override {}
    bool ShowAdvancedOptions(HWND owner) override {
        if (!m_pHost || !m_pHost->show_advanced_options ||
            !m_pHost->show_advanced_options(m_pHost->context, owner))
            throw ShowFailed();
        return true;
    }
    bool AreAdvancedOptionsAvailable() override {
        return m_pHost && m_pHost->advanced_options_available &&
               m_pHost->advanced_options_available(m_pHost->context) != 0;
    }

private:
    struct ShowFailed {};
    const corvel_host* m_pHost;
};

// One block: the entries, a NULL after them, then the texts. Null when memory runs out.
char** NewStringArray(const std::set<std::string>& texts) {
    size_t bytes = (texts.size() + 1) * sizeof(char*);
    for (const std::string& text : texts)
        bytes += text.size() + 1;
    char** array = static_cast<char**>(std::malloc(bytes));
    if (!array)
        return nullptr;
    char* next = reinterpret_cast<char*>(array + texts.size() + 1);
    size_t i = 0;
    for (const std::string& text : texts) {
        array[i++] = next;
        std::memcpy(next, text.c_str(), text.size() + 1);
        next += text.size() + 1;
    }
    array[i] = nullptr;
    return array;
}

char* NewString(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy)
        std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// Runs one call: the library's module state and UTF-8 texts for its length, and every exception turned
// into a result code.
template <typename Call> int Guarded(Call call) {
    try {
        CORVEL_ENTER_EXPORT_WITH_TEXTS(CP_UTF8);
        return call();
    } catch (const std::bad_alloc&) {
        return CORVEL_E_OUT_OF_MEMORY;
    } catch (...) {
        return CORVEL_E_INTERNAL;
    }
}

// The result of a dialog that did not end with OK: the user's Cancel, or no dialog at all.
int NotAccepted(DialogEnd end) {
    return end == DialogEnd::NotShown ? CORVEL_E_NO_DIALOG : CORVEL_CANCEL;
}

// A block for the host, freed here unless handed over with release().
struct FreeBlock {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T> using Block = std::unique_ptr<T, FreeBlock>;

} // namespace

extern "C" {

int CORVEL_CALL corvel_multi_file_options(const char* const* files, size_t file_count,
                                          const char* const* other_files, size_t other_file_count,
                                          const corvel_host* host, HWND parent, char*** checked_files,
                                          size_t* checked_count) {
    return Guarded([&]() -> int {
        const int status =
            FirstFailure({CheckFiles(files, file_count), CheckFiles(other_files, other_file_count),
                          CheckHost(host), Required({checked_files, checked_count})});
        if (status != CORVEL_OK)
            return status;
        std::set<std::string> checked = ToSet(files, file_count);
        const std::set<std::string> others = ToSet(other_files, other_file_count);
        CCallbackHost hostObject(host);
        const DialogEnd end =
            RunMultiFileOptionsDialog(checked, hostObject, others, CWnd::FromHandle(parent));
        if (end != DialogEnd::Ok)
            return NotAccepted(end);
        Block<char*> list(NewStringArray(checked));
        if (!list)
            return CORVEL_E_OUT_OF_MEMORY;
        *checked_files = list.release();
        *checked_count = checked.size();
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_check_in_options(const char* const* files, size_t file_count,
                                        const char* const* other_files, size_t other_file_count,
                                        int* keep_checked_out, const char* comment, int max_comment_length,
                                        const corvel_host* host, HWND parent, char*** checked_files,
                                        size_t* checked_count, char** new_comment) {
    return Guarded([&]() -> int {
        const int status = FirstFailure(
            {CheckFiles(files, file_count), CheckFiles(other_files, other_file_count), CheckText(comment),
             CheckHost(host), Required({keep_checked_out, checked_files, checked_count, new_comment})});
        if (status != CORVEL_OK)
            return status;
        std::set<std::string> checked = ToSet(files, file_count);
        const std::set<std::string> others = ToSet(other_files, other_file_count);
        std::string text = ToString(comment);
        bool keep = FlagToBool(*keep_checked_out);
        CCallbackHost hostObject(host);
        const DialogEnd end = RunCheckInOptionsDialog(checked, hostObject, keep, text, max_comment_length,
                                                      others, CWnd::FromHandle(parent));
        if (end == DialogEnd::NotShown)
            return CORVEL_E_NO_DIALOG;
        const bool accepted = end == DialogEnd::Ok;
        Block<char*> list(accepted ? NewStringArray(checked) : nullptr);
        Block<char> newComment(list ? NewString(text) : nullptr);
        if (accepted && !newComment)
            return CORVEL_E_OUT_OF_MEMORY;
        StoreFlag(*keep_checked_out, keep);
        if (!accepted)
            return CORVEL_CANCEL;
        *checked_files = list.release();
        *checked_count = checked.size();
        *new_comment = newComment.release();
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_check_out_options(const char* const* files, size_t file_count,
                                         const char* const* other_files, size_t other_file_count,
                                         const char* comment, int max_comment_length, const corvel_host* host,
                                         HWND parent, char*** checked_files, size_t* checked_count,
                                         char** new_comment) {
    return Guarded([&]() -> int {
        const int status = FirstFailure(
            {CheckFiles(files, file_count), CheckFiles(other_files, other_file_count), CheckText(comment),
             CheckHost(host), Required({checked_files, checked_count, new_comment})});
        if (status != CORVEL_OK)
            return status;
        std::set<std::string> checked = ToSet(files, file_count);
        const std::set<std::string> others = ToSet(other_files, other_file_count);
        std::string text = ToString(comment);
        CCallbackHost hostObject(host);
        const DialogEnd end = RunCheckOutOptionsDialog(checked, hostObject, text, max_comment_length, others,
                                                       CWnd::FromHandle(parent));
        if (end != DialogEnd::Ok)
            return NotAccepted(end);
        Block<char*> list(NewStringArray(checked));
        Block<char> newComment(list ? NewString(text) : nullptr);
        if (!newComment)
            return CORVEL_E_OUT_OF_MEMORY;
        *checked_files = list.release();
        *checked_count = checked.size();
        *new_comment = newComment.release();
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_single_file_options(const char* path, const corvel_host* host, HWND parent,
                                           char** new_path) {
    return Guarded([&]() -> int {
        const int status = FirstFailure({CheckText(path), CheckHost(host), Required({new_path})});
        if (status != CORVEL_OK)
            return status;
        std::string text = ToString(path);
        CCallbackHost hostObject(host);
        const DialogEnd end = RunSingleFileOptionsDialog(text, hostObject, CWnd::FromHandle(parent));
        if (end != DialogEnd::Ok)
            return NotAccepted(end);
        char* result = NewString(text);
        if (!result)
            return CORVEL_E_OUT_OF_MEMORY;
        *new_path = result;
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_diff_options(const char* path, int* ignore_case, int* ignore_spaces,
                                    const corvel_host* host, HWND parent, char** new_path) {
    return Guarded([&]() -> int {
        const int status = FirstFailure(
            {CheckText(path), CheckHost(host), Required({ignore_case, ignore_spaces, new_path})});
        if (status != CORVEL_OK)
            return status;
        std::string text = ToString(path);
        bool ignoreCase = FlagToBool(*ignore_case), ignoreSpaces = FlagToBool(*ignore_spaces);
        CCallbackHost hostObject(host);
        const DialogEnd end =
            RunDiffOptionsDialog(ignoreCase, ignoreSpaces, hostObject, text, CWnd::FromHandle(parent));
        if (end == DialogEnd::NotShown)
            return CORVEL_E_NO_DIALOG;
        const bool accepted = end == DialogEnd::Ok;
        char* result = accepted ? NewString(text) : nullptr;
        if (accepted && !result)
            return CORVEL_E_OUT_OF_MEMORY;
        StoreFlag(*ignore_case, ignoreCase);
        StoreFlag(*ignore_spaces, ignoreSpaces);
        if (!accepted)
            return CORVEL_CANCEL;
        *new_path = result;
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_rename_options(const char* existing_file, const char* new_name, HWND parent,
                                      char** new_existing_file, char** new_new_name) {
    return Guarded([&]() -> int {
        const int status = FirstFailure(
            {CheckText(existing_file), CheckText(new_name), Required({new_existing_file, new_new_name})});
        if (status != CORVEL_OK)
            return status;
        std::string file = ToString(existing_file), name = ToString(new_name);
        const DialogEnd end = RunRenameOptionsDialog(name, file, CWnd::FromHandle(parent));
        if (end != DialogEnd::Ok)
            return NotAccepted(end);
        Block<char> fileCopy(NewString(file));
        Block<char> nameCopy(fileCopy ? NewString(name) : nullptr);
        if (!nameCopy)
            return CORVEL_E_OUT_OF_MEMORY;
        *new_existing_file = fileCopy.release();
        *new_new_name = nameCopy.release();
        return CORVEL_OK;
    });
}

int CORVEL_CALL corvel_session_options(int* ignore_case, int* ignore_spaces, int* keep_checked_out_after_add,
                                       int* keep_checked_out_after_check_in, const corvel_host* host,
                                       HWND parent) {
    return Guarded([&]() -> int {
        const int status =
            FirstFailure({CheckHost(host), Required({ignore_case, ignore_spaces, keep_checked_out_after_add,
                                                     keep_checked_out_after_check_in})});
        if (status != CORVEL_OK)
            return status;
        bool ignoreCase = FlagToBool(*ignore_case), ignoreSpaces = FlagToBool(*ignore_spaces),
             keepAfterAdd = FlagToBool(*keep_checked_out_after_add),
             keepAfterCheckIn = FlagToBool(*keep_checked_out_after_check_in);
        CCallbackHost hostObject(host);
        const DialogEnd end = RunSessionOptionsDialog(ignoreCase, ignoreSpaces, keepAfterAdd,
                                                      keepAfterCheckIn, hostObject, CWnd::FromHandle(parent));
        if (end == DialogEnd::NotShown)
            return CORVEL_E_NO_DIALOG;
        StoreFlag(*ignore_case, ignoreCase);
        StoreFlag(*ignore_spaces, ignoreSpaces);
        StoreFlag(*keep_checked_out_after_add, keepAfterAdd);
        StoreFlag(*keep_checked_out_after_check_in, keepAfterCheckIn);
        return end == DialogEnd::Ok ? CORVEL_OK : CORVEL_CANCEL;
    });
}

int CORVEL_CALL corvel_with_options(const corvel_options* options, corvel_options_call call, void* context) {
    if (!options || !call)
        return CORVEL_E_NULL_ARGUMENT;
    // Every field of the first version must be there; a newer host's fields past ours are not read.
    constexpr size_t firstVersionEnd = offsetof(corvel_options, appearance) + sizeof options->appearance;
    if (options->size < firstVersionEnd)
        return CORVEL_E_INVALID_OPTIONS;
    const int appearance = options->appearance;
    if (appearance != CORVEL_APPEARANCE_SYSTEM && appearance != CORVEL_APPEARANCE_LIGHT &&
        appearance != CORVEL_APPEARANCE_DARK)
        return CORVEL_E_INVALID_OPTIONS;
    CorvelInitThreadState(); // the thread's choice is thread-local state, made before it is needed
    const CAppearanceScope scope(appearance == CORVEL_APPEARANCE_DARK    ? AfxAppearance::kDark
                                 : appearance == CORVEL_APPEARANCE_LIGHT ? AfxAppearance::kLight
                                                                         : AfxAppearance::kSystem);
    return call(context);
}

void CORVEL_CALL corvel_release(void* memory) {
    std::free(memory);
}

} // extern "C"
