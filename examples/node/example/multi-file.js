'use strict';
// A Node.js host of corvel.dll through the @corvel/dialogs package: opens the multi-file dialog on paths in
// several scripts, then the rename dialog, and writes what comes back to a file, UTF-8, one line each:
//
//   result 1
//   checked C:\src\main.c           (the rows left checked, in the order returned)
//   shown C:\src\main.c             (--play: the rows the user saw)
//   advanced owner=dialog           (the host's Advanced callback, asked with the dialog as owner)
//   rename 1 C:\src\Σελίδα.c -> C:\src\Σελίδα 2.c  (the rename dialog's result and its two paths)
//
// Usage: node multi-file.js [--dll PATH\corvel.dll] [--play] OUT_FILE
// Without --dll the package's own corvel.dll of Node's architecture is loaded. Without --play a person uses
// the dialogs; with it the script plays the user (user.js): unchecks "C:\src\設定.h", checks
// "C:\src\😀.txt" and presses Advanced and OK, then OK in the rename dialog.
//
// The results go to a file rather than to stdout: under Wine, Node's stdout and stderr fail when they
// are pipes.

const fs = require('fs');
const corvel = require('@corvel/dialogs');

const args = process.argv.slice(2);
const option = (name) => {
    const at = args.indexOf(name);
    return at < 0 ? null : args.splice(at, 2)[1];
};
const flag = (name) => {
    const at = args.indexOf(name);
    return at >= 0 && args.splice(at, 1).length > 0;
};
const dllPath = option('--dll') || undefined;
const playing = flag('--play');
const outFile = args[0];
if (!outFile || args.length !== 1) {
    process.stderr.write('usage: node multi-file.js [--dll PATH] [--play] OUT_FILE\n');
    process.exit(2);
}

// Greek, Japanese, Cyrillic and characters outside the Basic Multilingual Plane (two UTF-16 units, four
// UTF-8 bytes), besides plain ASCII.
const files = ['C:\\src\\Σελίδα.c', 'C:\\src\\設定.h', 'C:\\src\\ノート 📝.md', 'C:\\src\\main.c'];
const otherFiles = ['C:\\src\\главный.c', 'C:\\src\\😀.txt'];

const lines = [];
const write = () => fs.writeFileSync(outFile, lines.map((line) => line + '\n').join(''));
const fail = (message) => {
    lines.push(`error ${message}`);
    write();
    process.exit(1);
};

// The provider's side of "Advanced...". A real one opens its own options window here, modal and owned by
// `owner`, and returns true once it has been shown.
const provider = {
    hasOptions: () => true,
    showOptions(owner) {
        const isDialog = user ? user.same(owner, user.findDialog('Options')) : true;
        lines.push(`advanced owner=${isDialog ? 'dialog' : 'other'}`);
        return true;
    },
};

const user = playing ? require('./user') : null;

async function main() {
    const lib = corvel.load(dllPath);
    const call = lib.multiFileOptions(files, otherFiles, provider);
    let seen = null;
    if (user) {
        // Bounded: should the call never come back (a dialog the user cannot close), the run still ends.
        setTimeout(() => fail('the call did not return'), 120000).unref();
        try {
            // A call that ends before the user is done (an error code, a dialog that could not be made)
            // fails the run at once rather than after the wait for a dialog.
            const early = call.then(({ result }) => {
                throw new Error(`the call returned ${result} before the user was done`);
            });
            early.catch(() => {}); // the usual case, once the user has pressed OK
            const played = user.play({ uncheck: 'C:\\src\\設定.h', check: 'C:\\src\\😀.txt' });
            seen = await Promise.race([played, early]);
        } catch (error) {
            lines.push(`error ${error.message}`);
            for (const row of (error.seen && error.seen.rows) || [])
                lines.push(`shown ${row}`);
            await call.catch(() => {});
            write();
            process.exit(1);
        }
    }
    const { result, checked } = await call;
    lines.unshift(`result ${result}`);
    if (result === lib.Result.OK)
        lines.push(...checked.map((file) => `checked ${file}`));
    if (seen) {
        lines.push(...seen.rows.map((row) => `shown ${row}`));
        lines.push(`advanced enabled=${seen.advancedEnabled ? 1 : 0}`);
    }
    if (result === lib.Result.OK) {
        const renamed = lib.renameOptions('C:\\src\\Σελίδα.c', 'C:\\src\\Σελίδα 2.c');
        if (user)
            await user.pressOk('Rename Options', 60000);
        const { result: renameResult, existingFile, newName } = await renamed;
        lines.push(`rename ${renameResult} ${existingFile} -> ${newName}`);
    }
    write();
}

main().catch((error) => fail(error.stack || String(error)));
