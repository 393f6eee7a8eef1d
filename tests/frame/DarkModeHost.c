/* A host written in C that chooses the dialogs' appearance with corvel_with_options, bound at run time
 * as a host for several versions of the library would bind it. */
#include "DarkModeHost.h"

#include <windows.h>

typedef int(CORVEL_CALL* with_options_fn)(const corvel_options*, corvel_options_call, void*);

static with_options_fn with_options(void) {
    HMODULE library = GetModuleHandleA("corvel.dll");
    return library ? (with_options_fn)(void (*)(void))GetProcAddress(library, "corvel_with_options") : NULL;
}

int dark_host_has_options(void) {
    return with_options() != NULL;
}

typedef struct session_call {
    int flags[4];
    int calls;
    int (*inner)(void* context);
    void* inner_context;
} session_call;

static int CORVEL_CALL call_session(void* context) {
    session_call* call = (session_call*)context;
    ++call->calls;
    if (call->inner)
        return call->inner(call->inner_context);
    return corvel_session_options(&call->flags[0], &call->flags[1], &call->flags[2], &call->flags[3], NULL,
                                  NULL);
}

int dark_host_session(size_t size, int appearance, int (*inner)(void* context), void* inner_context) {
    with_options_fn with = with_options();
    corvel_options options;
    session_call call = {{0, 0, 0, 0}, 0, NULL, NULL};
    if (!with)
        return DARK_HOST_NO_FUNCTION;
    options.size = size;
    options.appearance = appearance;
    call.inner = inner;
    call.inner_context = inner_context;
    return with(&options, call_session, &call);
}

int dark_host_bad_options(int* calls_made) {
    with_options_fn with = with_options();
    corvel_options options;
    session_call call = {{0, 0, 0, 0}, 0, NULL, NULL};
    int failures = 0;
    if (!with)
        return DARK_HOST_NO_FUNCTION;
    options.size = sizeof options;
    options.appearance = CORVEL_APPEARANCE_DARK;
    failures += with(NULL, call_session, &call) != CORVEL_E_NULL_ARGUMENT;
    failures += with(&options, NULL, &call) != CORVEL_E_NULL_ARGUMENT;
    options.size = 0;
    failures += with(&options, call_session, &call) != CORVEL_E_INVALID_OPTIONS;
    options.size = sizeof(size_t);
    failures += with(&options, call_session, &call) != CORVEL_E_INVALID_OPTIONS;
    options.size = sizeof options;
    options.appearance = 3;
    failures += with(&options, call_session, &call) != CORVEL_E_INVALID_OPTIONS;
    options.appearance = -1;
    failures += with(&options, call_session, &call) != CORVEL_E_INVALID_OPTIONS;
    *calls_made = call.calls;
    return failures;
}
