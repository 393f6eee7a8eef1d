/* The C host of the dark-mode suite (DarkModeHost.c). */
#ifndef CORVEL_TESTS_DARK_MODE_HOST_H
#define CORVEL_TESTS_DARK_MODE_HOST_H

#include <corvel/corvel_c.h>

#ifdef __cplusplus
extern "C" {
#endif

/* What the host returns when the library has no corvel_with_options. */
#define DARK_HOST_NO_FUNCTION (-100)

/* Whether the loaded corvel.dll exports corvel_with_options. */
int dark_host_has_options(void);
/* corvel_with_options with options of `size` bytes and `appearance`, around either `inner(inner_context)`
 * or, when `inner` is NULL, corvel_session_options with four cleared flags and no parent. Returns what
 * corvel_with_options returns. */
int dark_host_session(size_t size, int appearance, int (*inner)(void* context), void* inner_context);
/* Every kind of bad options: returns how many gave another result than documented, and in *calls_made
 * how often the host's function was called anyway. */
int dark_host_bad_options(int* calls_made);

#ifdef __cplusplus
}
#endif

#endif /* CORVEL_TESTS_DARK_MODE_HOST_H */
