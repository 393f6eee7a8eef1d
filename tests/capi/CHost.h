/* The test host written in C (CHost.c): what the test program calls in it. Each chost_ function calls
 * the corvel_ function of the same name with the given arguments and a provider of its own, writes what
 * came back into `out` as lines ("file=...", "comment=...", "path=...", "existing=...", "name=..."), gives
 * back what the library allocated, and returns the library's result. When the result is not 1 the line
 * "untouched" tells that no output variable was written, "written" that one was. */
#ifndef CORVEL_TESTS_CHOST_H
#define CORVEL_TESTS_CHOST_H

#include <corvel/corvel_c.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The provider behind "Advanced...": set by the test, counted by the host. */
typedef struct chost_provider {
    int answer_availability; /* 0: NULL callback; 1: the callback says available; 2: it says unavailable */
    int show_succeeds;       /* what the show callback reports */
    int availability_calls;
    int show_calls;
    corvel_hwnd last_owner;
} chost_provider;

typedef int(CORVEL_CALL* chost_multi_file_fn)(const char* const* files, size_t file_count,
                                              const char* const* others, size_t other_count,
                                              chost_provider* provider, corvel_hwnd parent, char* out,
                                              int out_size);
typedef int(CORVEL_CALL* chost_check_in_fn)(const char* const* files, size_t file_count,
                                            const char* const* others, size_t other_count, int* keep,
                                            const char* comment, int limit, chost_provider* provider,
                                            corvel_hwnd parent, char* out, int out_size);
typedef int(CORVEL_CALL* chost_check_out_fn)(const char* const* files, size_t file_count,
                                             const char* const* others, size_t other_count,
                                             const char* comment, int limit, chost_provider* provider,
                                             corvel_hwnd parent, char* out, int out_size);
typedef int(CORVEL_CALL* chost_single_file_fn)(const char* path, chost_provider* provider, corvel_hwnd parent,
                                               char* out, int out_size);
typedef int(CORVEL_CALL* chost_diff_fn)(const char* path, int* ignore_case, int* ignore_spaces,
                                        chost_provider* provider, corvel_hwnd parent, char* out,
                                        int out_size);
typedef int(CORVEL_CALL* chost_rename_fn)(const char* existing, const char* new_name, corvel_hwnd parent,
                                          char* out, int out_size);
typedef int(CORVEL_CALL* chost_session_fn)(int* flags /* four */, chost_provider* provider,
                                           corvel_hwnd parent);
/* Every bad-argument case of every function: returns how many gave another result than documented or
 * wrote an output, and describes them in `out`. */
typedef int(CORVEL_CALL* chost_bad_arguments_fn)(char* out, int out_size);

#ifdef __cplusplus
}
#endif

#endif /* CORVEL_TESTS_CHOST_H */
