/* corvel_c.h - the plain-C interface of corvel.dll, for hosts built with any compiler or language.
 *
 * The same option dialogs as corvel.h, with C types: UTF-8 strings, file sets as arrays, results that
 * the library allocates and the host gives back with corvel_release. Functions have C linkage and the
 * __cdecl convention and are exported under their plain names; link corvel.lib (MSVC-style linkers) or
 * libcorvel.dll.a (mingw-w64), or bind them at run time with GetProcAddress. A 32-bit host loads the
 * 32-bit corvel.dll, a 64-bit host the 64-bit one; the interface is the same on both.
 *
 * Rules
 * - Results: CORVEL_OK (1) when the user pressed OK, CORVEL_CANCEL (0) when the dialog was left any other
 *   way, CORVEL_E_NO_DIALOG when no dialog could be created, a negative CORVEL_E_... code for bad
 *   arguments or exhausted memory. On an error nothing is written to any argument.
 * - Strings are NUL-terminated UTF-8, in and out. Invalid UTF-8 (bytes that are no UTF-8, overlong
 *   forms, surrogates, code points above U+10FFFF) is refused with CORVEL_E_INVALID_UTF8. The dialogs show
 *   every character, and paths the user did not touch come back byte for byte.
 * - File sets are an array of `count` strings; a count of 0 may come with a NULL array. A set is a set:
 *   a path given twice is one row. Paths of `other_files` that are also in `files` are shown once, checked.
 * - Memory: every pointer the library hands out (a string, or a string array with its strings, which is
 *   one block and ends with a NULL entry) belongs to the host once the call returns 1, and must be given
 *   back with corvel_release, never with the host's own free. Outputs are written only when the call
 *   returns 1; in/out flags (int *) are also written, as 0 or 1, when it returns 0.
 * - Threads: call on the thread that owns `parent` (the host's user-interface thread). `parent` may be
 *   NULL: the dialog is then unowned. The call returns when the dialog has closed.
 * - Errors never cross as exceptions: nothing thrown inside the library leaves these functions. The host's
 *   callbacks must return normally; a callback that unwinds (a C++ exception, longjmp, a structured
 *   exception) through the library is not caught and its outcome is undefined.
 */
#ifndef CORVEL_CORVEL_C_H
#define CORVEL_CORVEL_C_H

#include <stddef.h>

#if defined(CORVEL_BUILDING_DLL)
#define CORVEL_C_API __declspec(dllexport)
#elif defined(CORVEL_STATIC)
#define CORVEL_C_API
#else
#define CORVEL_C_API __declspec(dllimport)
#endif

#define CORVEL_CALL __cdecl

#ifdef __cplusplus
extern "C" {
#endif

/* A window handle, HWND of <windows.h> (which declares it so unless NO_STRICT is defined); the header
 * needs no Windows header of its own. */
struct HWND__;
typedef struct HWND__* corvel_hwnd;

enum {
    CORVEL_OK = 1,
    CORVEL_CANCEL = 0,
    /* A pointer that must not be NULL is NULL: an output, an in/out flag, an entry of a file array, or
     * host->show_advanced_options when host->advanced_options_available is set. (A NULL input string
     * stands for an empty one.) */
    CORVEL_E_NULL_ARGUMENT = -1,
    /* A count above 0 with a NULL array. */
    CORVEL_E_NULL_ARRAY = -2,
    /* A string is not valid UTF-8. */
    CORVEL_E_INVALID_UTF8 = -3,
    /* Memory ran out. The dialog may have been shown; no argument was written. */
    CORVEL_E_OUT_OF_MEMORY = -4,
    /* An unexpected failure inside the library; no argument was written. */
    CORVEL_E_INTERNAL = -5,
    /* The dialog could not be created (`parent` is not a window, or the system has no window resources
     * left); nothing was shown and no argument was written, not even the in/out flags. */
    CORVEL_E_NO_DIALOG = -6,
    /* corvel_with_options: the options are not ones this library knows (a size too small to hold the
     * fields below, or an appearance that is none of CORVEL_APPEARANCE_...). Nothing was called. */
    CORVEL_E_INVALID_OPTIONS = -7
};

/* The host's side of the "Advanced..." button: the source-control provider's own options, already bound
 * to the command and its files. Passed by pointer; the library only borrows it for the call. */
typedef struct corvel_host {
    /* Handed back to both callbacks unchanged. */
    void* context;
    /* Nonzero when advanced options can be shown now; asked once as a dialog opens. NULL: never
     * available (the button is disabled). */
    int(CORVEL_CALL* advanced_options_available)(void* context);
    /* Shows the provider's options, owned by `owner` (the dialog). Returns nonzero when they were shown,
     * whatever the user did there; 0 when they could not be: the dialog then warns the user in a message
     * box and stays open. */
    int(CORVEL_CALL* show_advanced_options)(void* context, corvel_hwnd owner);
} corvel_host;

/* A command on several files: `files` start checked, `other_files` not in `files` unchecked. On OK
 * *checked_files (*checked_count entries) are exactly the rows left checked. `host` may be NULL (no
 * advanced options). */
CORVEL_C_API int CORVEL_CALL corvel_multi_file_options(const char* const* files, size_t file_count,
                                                       const char* const* other_files,
                                                       size_t other_file_count, const corvel_host* host,
                                                       corvel_hwnd parent, char*** checked_files,
                                                       size_t* checked_count);

/* Check in: the file list, "Keep checked out" (*keep_checked_out, in and out) and a one-line comment.
 * max_comment_length limits what the user can type or paste, in UTF-16 code units (a character outside
 * the Basic Multilingual Plane counts two); 0 or less disables the comment box. A longer `comment`
 * (NULL: empty) is shown and returned whole. On OK *new_comment is the box's text. */
CORVEL_C_API int CORVEL_CALL corvel_check_in_options(const char* const* files, size_t file_count,
                                                     const char* const* other_files, size_t other_file_count,
                                                     int* keep_checked_out, const char* comment,
                                                     int max_comment_length, const corvel_host* host,
                                                     corvel_hwnd parent, char*** checked_files,
                                                     size_t* checked_count, char** new_comment);

/* Check out: the file list and a comment, limited as for check-in. */
CORVEL_C_API int CORVEL_CALL corvel_check_out_options(const char* const* files, size_t file_count,
                                                      const char* const* other_files, size_t other_file_count,
                                                      const char* comment, int max_comment_length,
                                                      const corvel_host* host, corvel_hwnd parent,
                                                      char*** checked_files, size_t* checked_count,
                                                      char** new_comment);

/* A command on one file: the path (NULL: empty), with Browse. On OK *new_path is the box's text. */
CORVEL_C_API int CORVEL_CALL corvel_single_file_options(const char* path, const corvel_host* host,
                                                        corvel_hwnd parent, char** new_path);

/* Show differences: the path (NULL: empty) with Browse, "Ignore Case" and "Ignore Spaces" (in and out). */
CORVEL_C_API int CORVEL_CALL corvel_diff_options(const char* path, int* ignore_case, int* ignore_spaces,
                                                 const corvel_host* host, corvel_hwnd parent,
                                                 char** new_path);

/* Rename: the existing file (upper box, with Browse) and its new name (lower box), NULL: empty. On OK
 * both outputs are written. No advanced options. */
CORVEL_C_API int CORVEL_CALL corvel_rename_options(const char* existing_file, const char* new_name,
                                                   corvel_hwnd parent, char** new_existing_file,
                                                   char** new_new_name);

/* The session-wide preferences, four flags in and out. */
CORVEL_C_API int CORVEL_CALL corvel_session_options(int* ignore_case, int* ignore_spaces,
                                                    int* keep_checked_out_after_add,
                                                    int* keep_checked_out_after_check_in,
                                                    const corvel_host* host, corvel_hwnd parent);

/* The appearance of the dialogs. CORVEL_APPEARANCE_SYSTEM follows the user's apps mode (light or dark), as
 * the system reports it when each dialog opens; a host with a theme of its own asks for light or dark. High
 * contrast wins over all three: then the dialogs are drawn in the system's colours. */
enum {
    CORVEL_APPEARANCE_SYSTEM = 0,
    CORVEL_APPEARANCE_LIGHT = 1,
    CORVEL_APPEARANCE_DARK = 2
};

/* Options for the calls a host makes inside corvel_with_options. `size` is sizeof(corvel_options) as the
 * host was built: a later version of this header may add fields at the end, which an older library
 * ignores. */
typedef struct corvel_options {
    size_t size;
    /* One of CORVEL_APPEARANCE_...; CORVEL_APPEARANCE_SYSTEM by default. */
    int appearance;
} corvel_options;

/* Calls `call(context)` on this thread and returns what it returns; every corvel_ function called on this
 * thread before it returns (the dialog's own callbacks' calls included) shows its dialog with `options`.
 * Nothing of them is kept afterwards: the next call outside is as if the options were never given, and
 * a nested corvel_with_options chooses for its own calls alone. The C++ interface (corvel.h) follows the
 * system whatever the options. Returns CORVEL_E_NULL_ARGUMENT for a NULL `options` or `call` and
 * CORVEL_E_INVALID_OPTIONS for options it does not know, without calling `call`. */
typedef int(CORVEL_CALL* corvel_options_call)(void* context);
CORVEL_C_API int CORVEL_CALL corvel_with_options(const corvel_options* options, corvel_options_call call,
                                                 void* context);

/* Gives back a string or string array that a corvel_ function returned. NULL is ignored. */
CORVEL_C_API void CORVEL_CALL corvel_release(void* memory);

#ifdef __cplusplus
}
#endif

#endif /* CORVEL_CORVEL_C_H */
