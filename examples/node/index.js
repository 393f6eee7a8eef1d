'use strict';
// @corvel/dialogs: corvel.dll's C interface (include/corvel/corvel_c.h) for Node.js for Windows, bound with
// koffi. The package carries both architectures' corvel.dll (bin/x86, bin/x64) and loads the one of the
// running Node (process.arch ia32 or x64).
//
//   const corvel = require('@corvel/dialogs').load();
//   const { result, checked } = await corvel.multiFileOptions(files, otherFiles, provider);
//
// Each call runs on one of koffi's worker threads and the dialog lives there, so Node's own thread stays
// free while it is open (timers, I/O, and the provider's callbacks, which koffi hands to that thread). The
// dialogs are unowned: a call is made on the thread that owns its parent window, and that worker thread owns
// none of the application's.

const path = require('path');
const koffi = require('koffi');

const Result = Object.freeze({
    OK: 1,
    CANCEL: 0,
    E_NULL_ARGUMENT: -1,
    E_NULL_ARRAY: -2,
    E_INVALID_UTF8: -3,
    E_OUT_OF_MEMORY: -4,
    E_INTERNAL: -5,
    E_NO_DIALOG: -6,
});

// The DLL of the running Node's architecture, inside this package.
function defaultDllPath() {
    const folder = { ia32: 'x86', x64: 'x64' }[process.arch];
    if (process.platform !== 'win32' || !folder)
        throw new Error(`corvel.dll is for Windows on x86 and x64, not ${process.platform} on ${process.arch}`);
    return path.join(__dirname, 'bin', folder, 'corvel.dll');
}

// The host object: a context and two __cdecl callbacks. koffi defaults to cdecl as well, but on x86 a
// wrong convention only shows as a broken stack, so it is written out.
const AdvancedOptionsAvailable = koffi.proto('int __cdecl corvel_advanced_options_available(void *context)');
const ShowAdvancedOptions = koffi.proto('int __cdecl corvel_show_advanced_options(void *context, void *owner)');
koffi.struct('corvel_host', {
    context: 'void *',
    advanced_options_available: koffi.pointer(AdvancedOptionsAvailable),
    show_advanced_options: koffi.pointer(ShowAdvancedOptions),
});

// Returned strings are read as the bytes the library wrote and decoded strictly: a lenient decoder would
// quietly repair a malformed path (CESU-8 surrogates, stray bytes) that should be seen.
const kernel32 = koffi.load('kernel32.dll');
const lstrlenA = kernel32.func('int __stdcall lstrlenA(void *text)');
const utf8 = new TextDecoder('utf-8', { fatal: true });

function readUtf8(pointer) {
    const length = lstrlenA(pointer);
    return length > 0 ? utf8.decode(Buffer.from(koffi.view(pointer, length))) : '';
}

const SIGNATURES = {
    multi: 'int __cdecl corvel_multi_file_options(const char **files, size_t file_count, ' +
        'const char **other_files, size_t other_file_count, const corvel_host *host, void *parent, ' +
        '_Out_ void **checked_files, _Out_ size_t *checked_count)',
    checkIn: 'int __cdecl corvel_check_in_options(const char **files, size_t file_count, ' +
        'const char **other_files, size_t other_file_count, _Inout_ int *keep_checked_out, const char *comment, ' +
        'int max_comment_length, const corvel_host *host, void *parent, _Out_ void **checked_files, ' +
        '_Out_ size_t *checked_count, _Out_ void **new_comment)',
    checkOut: 'int __cdecl corvel_check_out_options(const char **files, size_t file_count, ' +
        'const char **other_files, size_t other_file_count, const char *comment, int max_comment_length, ' +
        'const corvel_host *host, void *parent, _Out_ void **checked_files, _Out_ size_t *checked_count, ' +
        '_Out_ void **new_comment)',
    singleFile: 'int __cdecl corvel_single_file_options(const char *path, const corvel_host *host, ' +
        'void *parent, _Out_ void **new_path)',
    diff: 'int __cdecl corvel_diff_options(const char *path, _Inout_ int *ignore_case, ' +
        '_Inout_ int *ignore_spaces, const corvel_host *host, void *parent, _Out_ void **new_path)',
    rename: 'int __cdecl corvel_rename_options(const char *existing_file, const char *new_name, void *parent, ' +
        '_Out_ void **new_existing_file, _Out_ void **new_new_name)',
    session: 'int __cdecl corvel_session_options(_Inout_ int *ignore_case, _Inout_ int *ignore_spaces, ' +
        '_Inout_ int *keep_checked_out_after_add, _Inout_ int *keep_checked_out_after_check_in, ' +
        'const corvel_host *host, void *parent)',
};

function load(dllPath = defaultDllPath()) {
    const lib = koffi.load(dllPath);
    const bound = {};
    for (const [name, signature] of Object.entries(SIGNATURES))
        bound[name] = lib.func(signature);
    const release = lib.func('void __cdecl corvel_release(void *memory)');

    // Every block the library hands out is given back with corvel_release, never with a free of Node's own.
    function takeString(cell) {
        const block = cell[0];
        if (!block)
            return '';
        try {
            return readUtf8(block);
        } finally {
            release(block);
        }
    }
    // One block: the array, its NULL end and the strings.
    function takeStrings(cell, countCell) {
        const block = cell[0];
        if (!block)
            return [];
        try {
            const count = Number(countCell[0]);
            return (count > 0 ? koffi.decode(block, 'void *', count) : []).map(readUtf8);
        } finally {
            release(block);
        }
    }

    // provider: null for no advanced options, or { hasOptions(): boolean, showOptions(owner): boolean }, owner
    // being the dialog's HWND (a koffi pointer). The callbacks must outlive the call, which returns later:
    // registered, not transient, and given back when it is over. They catch what the provider throws, which
    // would reach the library as 0 (the warning box) at best.
    function hostOf(provider) {
        if (!provider)
            return { host: null, registered: [] };
        const registered = [
            koffi.register(() => {
                try { return provider.hasOptions() ? 1 : 0; } catch { return 0; }
            }, koffi.pointer(AdvancedOptionsAvailable)),
            koffi.register((context, owner) => {
                try { return provider.showOptions(owner) ? 1 : 0; } catch { return 0; }
            }, koffi.pointer(ShowAdvancedOptions)),
        ];
        // Nothing to carry in the context: the closures above already know their provider.
        return {
            host: { context: null, advanced_options_available: registered[0], show_advanced_options: registered[1] },
            registered,
        };
    }

    // Calls `fn` on a worker thread with `args` (the host at `hostAt`) and resolves to `collect(result)`, where
    // collect reads the outputs: only on OK, except for in/out flags, which are written on Cancel too.
    function call(fn, args, hostAt, provider, collect) {
        const { host, registered } = hostOf(provider);
        if (hostAt >= 0)
            args[hostAt] = host;
        return new Promise((resolve, reject) => {
            fn.async(...args, (error, result) => {
                registered.forEach((callback) => koffi.unregister(callback));
                if (error)
                    return reject(error);
                try {
                    resolve({ result, ...collect(result) });
                } catch (readError) {
                    reject(readError);
                }
            });
        });
    }
    const flag = (value) => [value ? 1 : 0];
    const ok = (result) => result === Result.OK;
    const written = (result) => result === Result.OK || result === Result.CANCEL;

    return {
        Result,
        multiFileOptions(files, otherFiles, provider = null) {
            const checked = [null], count = [0];
            return call(bound.multi, [files, files.length, otherFiles, otherFiles.length, null, null, checked, count],
                        4, provider, (result) => ({ checked: ok(result) ? takeStrings(checked, count) : null }));
        },
        checkInOptions(files, otherFiles, { keepCheckedOut = false, comment = '', maxCommentLength = 0 } = {},
                       provider = null) {
            const keep = flag(keepCheckedOut), checked = [null], count = [0], newComment = [null];
            return call(bound.checkIn, [files, files.length, otherFiles, otherFiles.length, keep, comment,
                                        maxCommentLength, null, null, checked, count, newComment],
                        7, provider, (result) => ({
                            checked: ok(result) ? takeStrings(checked, count) : null,
                            keepCheckedOut: written(result) ? keep[0] === 1 : keepCheckedOut,
                            comment: ok(result) ? takeString(newComment) : null,
                        }));
        },
        checkOutOptions(files, otherFiles, { comment = '', maxCommentLength = 0 } = {}, provider = null) {
            const checked = [null], count = [0], newComment = [null];
            return call(bound.checkOut, [files, files.length, otherFiles, otherFiles.length, comment, maxCommentLength,
                                         null, null, checked, count, newComment],
                        6, provider, (result) => ({
                            checked: ok(result) ? takeStrings(checked, count) : null,
                            comment: ok(result) ? takeString(newComment) : null,
                        }));
        },
        singleFileOptions(filePath, provider = null) {
            const newPath = [null];
            return call(bound.singleFile, [filePath, null, null, newPath], 1, provider,
                        (result) => ({ path: ok(result) ? takeString(newPath) : null }));
        },
        diffOptions(filePath, { ignoreCase = false, ignoreSpaces = false } = {}, provider = null) {
            const cased = flag(ignoreCase), spaced = flag(ignoreSpaces), newPath = [null];
            return call(bound.diff, [filePath, cased, spaced, null, null, newPath], 3, provider, (result) => ({
                path: ok(result) ? takeString(newPath) : null,
                ignoreCase: written(result) ? cased[0] === 1 : ignoreCase,
                ignoreSpaces: written(result) ? spaced[0] === 1 : ignoreSpaces,
            }));
        },
        renameOptions(existingFile, newName) {
            const existing = [null], renamed = [null];
            return call(bound.rename, [existingFile, newName, null, existing, renamed], -1, null, (result) => ({
                existingFile: ok(result) ? takeString(existing) : null,
                newName: ok(result) ? takeString(renamed) : null,
            }));
        },
        sessionOptions(flags = {}, provider = null) {
            const names = ['ignoreCase', 'ignoreSpaces', 'keepCheckedOutAfterAdd', 'keepCheckedOutAfterCheckIn'];
            const cells = names.map((name) => flag(flags[name]));
            return call(bound.session, [...cells, null, null], 4, provider, (result) =>
                Object.fromEntries(names.map((name, i) => [name, written(result) ? cells[i][0] === 1 : !!flags[name]])));
        },
    };
}

module.exports = { load, Result, defaultDllPath };
