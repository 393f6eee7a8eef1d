/* A host written in plain C99, as one built by another compiler or for another language would be: it
 * calls the functions of corvel_c.h, answers "Advanced..." through callbacks, and gives back what they
 * return with corvel_release. It uses no C runtime of its own, only the Windows API, so the same source
 * builds as an MSVC-ABI DLL (clang, lld-link, corvel.lib) and with mingw-w64 gcc. */
#include "CHost.h"

#define CHOST_API __declspec(dllexport)

/* ---- Output lines ---------------------------------------------------------------------------------- */

typedef struct text {
    char* data;
    int size;
    int used;
} text;

static void put(text* t, const char* s) {
    while (*s && t->used + 1 < t->size)
        t->data[t->used++] = *s++;
    t->data[t->used] = '\0';
}

static void put_line(text* t, const char* key, const char* value) {
    put(t, key);
    put(t, "=");
    put(t, value);
    put(t, "\n");
}

static void put_number(text* t, const char* key, long value) {
    char digits[16];
    char* p = digits + sizeof digits - 1;
    unsigned long magnitude = value < 0 ? 0ul - (unsigned long)value : (unsigned long)value;
    *p = '\0';
    do {
        *--p = (char)('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0)
        *--p = '-';
    put_line(t, key, p);
}

static text open_text(char* out, int out_size) {
    text t;
    t.data = out;
    t.size = out_size;
    t.used = 0;
    if (out_size > 0)
        out[0] = '\0';
    return t;
}

/* ---- The provider ---------------------------------------------------------------------------------- */

static int CORVEL_CALL available(void* context) {
    chost_provider* provider = (chost_provider*)context;
    ++provider->availability_calls;
    return provider->answer_availability == 1;
}

static int CORVEL_CALL show(void* context, corvel_hwnd owner) {
    chost_provider* provider = (chost_provider*)context;
    ++provider->show_calls;
    provider->last_owner = owner;
    return provider->show_succeeds;
}

/* NULL for no provider at all. */
static const corvel_host* host_for(chost_provider* provider, corvel_host* host) {
    if (!provider)
        return NULL;
    host->context = provider;
    host->advanced_options_available = provider->answer_availability ? available : NULL;
    host->show_advanced_options = show;
    return host;
}

/* ---- What came back ---------------------------------------------------------------------------------- */

static char* const kUntouchedText = (char*)"untouched";
static char** const kUntouchedList = (char**)&kUntouchedText;
#define UNTOUCHED_COUNT ((size_t)0xC0FFEEu)

static void put_files(text* t, char** files, size_t count) {
    size_t i;
    put_number(t, "files", (long)count);
    for (i = 0; i < count; ++i)
        put_line(t, "file", files[i]);
    if (files[count] != NULL)
        put(t, "unterminated\n");
    corvel_release(files);
}

static void put_string(text* t, const char* key, char* value) {
    put_line(t, key, value);
    corvel_release(value);
}

static void put_untouched(text* t, int untouched) {
    put(t, untouched ? "untouched\n" : "written\n");
}

/* What check-in and check-out give back, preset to values no call gives so that a call that writes
   nothing shows: the checked files and the comment. */
typedef struct {
    char** checked;
    size_t count;
    char* comment;
} commented_files;

static commented_files untouched_commented_files(void) {
    commented_files r = {kUntouchedList, UNTOUCHED_COUNT, kUntouchedText};
    return r;
}

static void put_commented_files(text* t, int result, const commented_files* r) {
    if (result == CORVEL_OK) {
        put_files(t, r->checked, r->count);
        put_string(t, "comment", r->comment);
    } else {
        put_untouched(t, r->checked == kUntouchedList && r->count == UNTOUCHED_COUNT &&
                             r->comment == kUntouchedText);
    }
}

/* ---- The calls ------------------------------------------------------------------------------------- */

CHOST_API int CORVEL_CALL chost_multi_file(const char* const* files, size_t file_count,
                                           const char* const* others, size_t other_count,
                                           chost_provider* provider, corvel_hwnd parent, char* out,
                                           int out_size) {
    text t = open_text(out, out_size);
    corvel_host host;
    char** checked = kUntouchedList;
    size_t count = UNTOUCHED_COUNT;
    const int result = corvel_multi_file_options(files, file_count, others, other_count,
                                                 host_for(provider, &host), parent, &checked, &count);
    if (result == CORVEL_OK)
        put_files(&t, checked, count);
    else
        put_untouched(&t, checked == kUntouchedList && count == UNTOUCHED_COUNT);
    return result;
}

CHOST_API int CORVEL_CALL chost_check_in(const char* const* files, size_t file_count,
                                         const char* const* others, size_t other_count, int* keep,
                                         const char* comment, int limit, chost_provider* provider,
                                         corvel_hwnd parent, char* out, int out_size) {
    text t = open_text(out, out_size);
    corvel_host host;
    commented_files r = untouched_commented_files();
    const int result =
        corvel_check_in_options(files, file_count, others, other_count, keep, comment, limit,
                                host_for(provider, &host), parent, &r.checked, &r.count, &r.comment);
    put_commented_files(&t, result, &r);
    return result;
}

CHOST_API int CORVEL_CALL chost_check_out(const char* const* files, size_t file_count,
                                          const char* const* others, size_t other_count, const char* comment,
                                          int limit, chost_provider* provider, corvel_hwnd parent, char* out,
                                          int out_size) {
    text t = open_text(out, out_size);
    corvel_host host;
    commented_files r = untouched_commented_files();
    const int result =
        corvel_check_out_options(files, file_count, others, other_count, comment, limit,
                                 host_for(provider, &host), parent, &r.checked, &r.count, &r.comment);
    put_commented_files(&t, result, &r);
    return result;
}

CHOST_API int CORVEL_CALL chost_single_file(const char* path, chost_provider* provider, corvel_hwnd parent,
                                            char* out, int out_size) {
    text t = open_text(out, out_size);
    corvel_host host;
    char* new_path = kUntouchedText;
    const int result = corvel_single_file_options(path, host_for(provider, &host), parent, &new_path);
    if (result == CORVEL_OK)
        put_string(&t, "path", new_path);
    else
        put_untouched(&t, new_path == kUntouchedText);
    return result;
}

CHOST_API int CORVEL_CALL chost_diff(const char* path, int* ignore_case, int* ignore_spaces,
                                     chost_provider* provider, corvel_hwnd parent, char* out, int out_size) {
    text t = open_text(out, out_size);
    corvel_host host;
    char* new_path = kUntouchedText;
    const int result =
        corvel_diff_options(path, ignore_case, ignore_spaces, host_for(provider, &host), parent, &new_path);
    if (result == CORVEL_OK)
        put_string(&t, "path", new_path);
    else
        put_untouched(&t, new_path == kUntouchedText);
    return result;
}

CHOST_API int CORVEL_CALL chost_rename(const char* existing, const char* new_name, corvel_hwnd parent,
                                       char* out, int out_size) {
    text t = open_text(out, out_size);
    char* new_existing = kUntouchedText;
    char* new_new_name = kUntouchedText;
    const int result = corvel_rename_options(existing, new_name, parent, &new_existing, &new_new_name);
    if (result == CORVEL_OK) {
        put_string(&t, "existing", new_existing);
        put_string(&t, "name", new_new_name);
    } else {
        put_untouched(&t, new_existing == kUntouchedText && new_new_name == kUntouchedText);
    }
    return result;
}

CHOST_API int CORVEL_CALL chost_session(int* flags, chost_provider* provider, corvel_hwnd parent) {
    corvel_host host;
    return corvel_session_options(&flags[0], &flags[1], &flags[2], &flags[3], host_for(provider, &host),
                                  parent);
}

/* ---- Bad arguments --------------------------------------------------------------------------------- */

typedef struct checker {
    text t;
    int failures;
} checker;

static void expect(checker* c, const char* what, int result, int expected, int untouched) {
    if (result == expected && untouched)
        return;
    ++c->failures;
    put(&c->t, what);
    put_number(&c->t, ": result", result);
    put_untouched(&c->t, untouched);
}

CHOST_API int CORVEL_CALL chost_bad_arguments(char* out, int out_size) {
    static const char* const good[] = {"C:\\\xCE\xB1.c", "C:\\\xE6\x96\x87.c"};
    static const char* const with_null[] = {"C:\\a.c", NULL};
    /* A stray trail byte, an overlong '/', a surrogate, above U+10FFFF, a sequence cut short, 0xFF. */
    static const char* const invalid[] = {"C:\\\x80.c",       "C:\\\xC0\xAF", "C:\\\xED\xA0\x80",
                                          "\xF4\x90\x80\x80", "C:\\\xE2\x82", "\xFF"};
    const int invalid_count = (int)(sizeof invalid / sizeof invalid[0]);
    checker c;
    chost_provider provider = {1, 1, 0, 0, NULL};
    corvel_host good_host, bad_host;
    char** files = kUntouchedList;
    size_t count = UNTOUCHED_COUNT;
    char* string = kUntouchedText;
    char* second = kUntouchedText;
    int flag = 5, flag2 = 5, flag3 = 5, flag4 = 5;
    int i;
#define UNTOUCHED                                                                                            \
    (files == kUntouchedList && count == UNTOUCHED_COUNT && string == kUntouchedText &&                      \
     second == kUntouchedText && flag == 5 && flag2 == 5 && flag3 == 5 && flag4 == 5)

    c.t = open_text(out, out_size);
    c.failures = 0;
    host_for(&provider, &good_host);
    bad_host = good_host;
    bad_host.show_advanced_options = NULL;

    /* Missing outputs and flags. */
    expect(&c, "multi: no list", corvel_multi_file_options(good, 2, NULL, 0, NULL, NULL, NULL, &count),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "multi: no count", corvel_multi_file_options(good, 2, NULL, 0, NULL, NULL, &files, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "check in: no flag",
           corvel_check_in_options(good, 2, NULL, 0, NULL, "", 10, NULL, NULL, &files, &count, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "check in: no comment out",
           corvel_check_in_options(good, 2, NULL, 0, &flag, "", 10, NULL, NULL, &files, &count, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "check out: no list",
           corvel_check_out_options(good, 2, NULL, 0, "", 10, NULL, NULL, NULL, &count, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "single: no path out", corvel_single_file_options("a", NULL, NULL, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "diff: no flag", corvel_diff_options("a", &flag, NULL, NULL, NULL, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "diff: no path out", corvel_diff_options("a", &flag, &flag2, NULL, NULL, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "rename: no name out", corvel_rename_options("a", "b", NULL, &string, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "session: no flag", corvel_session_options(&flag, &flag2, &flag3, NULL, NULL, NULL),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);

    /* A NULL entry; a count with no array; a host that offers options it cannot show. */
    expect(&c, "multi: NULL entry",
           corvel_multi_file_options(with_null, 2, NULL, 0, NULL, NULL, &files, &count),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "multi: files without array",
           corvel_multi_file_options(NULL, 1, NULL, 0, NULL, NULL, &files, &count), CORVEL_E_NULL_ARRAY,
           UNTOUCHED);
    expect(&c, "check in: others without array",
           corvel_check_in_options(good, 2, NULL, 3, &flag, "", 10, NULL, NULL, &files, &count, &string),
           CORVEL_E_NULL_ARRAY, UNTOUCHED);
    expect(&c, "check out: others with NULL entry",
           corvel_check_out_options(good, 2, with_null, 2, "", 10, NULL, NULL, &files, &count, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "multi: host without show",
           corvel_multi_file_options(good, 2, NULL, 0, &bad_host, NULL, &files, &count),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "single: host without show", corvel_single_file_options("a", &bad_host, NULL, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "diff: host without show", corvel_diff_options("a", &flag, &flag2, &bad_host, NULL, &string),
           CORVEL_E_NULL_ARGUMENT, UNTOUCHED);
    expect(&c, "session: host without show",
           corvel_session_options(&flag, &flag2, &flag3, &flag4, &bad_host, NULL), CORVEL_E_NULL_ARGUMENT,
           UNTOUCHED);

    /* Invalid UTF-8 wherever a text goes in. */
    for (i = 0; i < invalid_count; ++i) {
        const char* const bad_files[] = {good[0], invalid[i]};
        expect(&c, "multi: invalid file",
               corvel_multi_file_options(bad_files, 2, NULL, 0, NULL, NULL, &files, &count),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "multi: invalid other",
               corvel_multi_file_options(good, 2, bad_files, 2, &good_host, NULL, &files, &count),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "check in: invalid comment",
               corvel_check_in_options(good, 2, NULL, 0, &flag, invalid[i], 10, NULL, NULL, &files, &count,
                                       &string),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(
            &c, "check out: invalid comment",
            corvel_check_out_options(good, 2, NULL, 0, invalid[i], 10, NULL, NULL, &files, &count, &string),
            CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "single: invalid path", corvel_single_file_options(invalid[i], NULL, NULL, &string),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "diff: invalid path", corvel_diff_options(invalid[i], &flag, &flag2, NULL, NULL, &string),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "rename: invalid file", corvel_rename_options(invalid[i], "b", NULL, &string, &second),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
        expect(&c, "rename: invalid name", corvel_rename_options("a", invalid[i], NULL, &string, &second),
               CORVEL_E_INVALID_UTF8, UNTOUCHED);
    }
    if (provider.availability_calls != 0 || provider.show_calls != 0) {
        ++c.failures;
        put(&c.t, "the provider was asked\n");
    }
    corvel_release(NULL);
    return c.failures;
#undef UNTOUCHED
}
