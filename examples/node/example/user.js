'use strict';
// A user at the multi-file dialog, played through user32 from Node's main thread while the call runs on
// a worker thread: finds the dialog, reads its rows, clicks one row's check box, toggles another with
// Space, presses Advanced and OK. Actions are posted, as input arrives, in the order a person makes them;
// reads are sent with a timeout, so that a dialog that stops answering fails the run instead of hanging it.

const koffi = require('koffi');

const user32 = koffi.load('user32.dll');
const kernel32 = koffi.load('kernel32.dll');

koffi.pointer('HWND', koffi.opaque());
const WNDENUMPROC = koffi.proto('int __stdcall WNDENUMPROC(HWND hwnd, intptr_t lParam)');
const EnumWindows = user32.func('int __stdcall EnumWindows(WNDENUMPROC *callback, intptr_t lParam)');
const GetWindowThreadProcessId =
    user32.func('uint32_t __stdcall GetWindowThreadProcessId(HWND hwnd, _Out_ uint32_t *pid)');
const GetClassNameW = user32.func('int __stdcall GetClassNameW(HWND hwnd, _Out_ uint8_t *name, int size)');
// Not GetWindowTextW: for another thread's window that sends WM_GETTEXT, which never returns while that
// thread waits for this one to run a host callback (as it does while the dialog opens).
const InternalGetWindowText =
    user32.func('int __stdcall InternalGetWindowText(HWND hwnd, _Out_ uint8_t *text, int size)');
const IsWindow = user32.func('int __stdcall IsWindow(HWND hwnd)');
const IsWindowVisible = user32.func('int __stdcall IsWindowVisible(HWND hwnd)');
const IsWindowEnabled = user32.func('int __stdcall IsWindowEnabled(HWND hwnd)');
const GetDlgItem = user32.func('HWND __stdcall GetDlgItem(HWND dialog, int id)');
const PostMessageW =
    user32.func('int __stdcall PostMessageW(HWND hwnd, uint32_t msg, uintptr_t wParam, uintptr_t lParam)');
// SendMessageTimeoutW twice: with a number and with a buffer for lParam.
const sendMessageTimeout = (lParam) => user32.func(
    'SendMessageTimeoutW', 'intptr_t',
    ['HWND', 'uint32_t', 'uintptr_t', lParam, 'uint32_t', 'uint32_t', koffi.out('uintptr_t *')], '__stdcall');
const SendValue = sendMessageTimeout('intptr_t');
const SendBuffer = sendMessageTimeout('void *');
const GetCurrentProcessId = kernel32.func('uint32_t __stdcall GetCurrentProcessId()');

const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112;
const WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, MK_LBUTTON = 0x0001, VK_SPACE = 0x20;
const SC_CLOSE = 0xF060, BM_CLICK = 0x00F5;
const LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_GETITEMRECT = 0x0198;
const LB_SETCARETINDEX = 0x019E;
const SMTO_ABORTIFHUNG = 0x0002, SEND_TIMEOUT_MS = 5000;
const IDOK = 1, IDCANCEL = 2, IDC_ADVANCED = 1000, IDC_FILE_LIST = 1008; // resources/resource.h

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const same = (a, b) => a !== null && b !== null && koffi.address(a) === koffi.address(b);

function send(hwnd, msg, wParam, lParam) {
    const result = [0];
    const call = typeof lParam === 'number' ? SendValue : SendBuffer;
    if (!call(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, result))
        throw new Error(`the dialog did not answer message 0x${msg.toString(16)}`);
    return Number(result[0]);
}

function wideText(read, hwnd, size = 512) {
    const buffer = Buffer.alloc(size * 2);
    const length = read(hwnd, buffer, size);
    return buffer.toString('utf16le', 0, Math.max(length, 0) * 2);
}

// The visible dialog of this process with the given caption: the call's, made on the worker thread.
function findDialog(caption) {
    const pid = GetCurrentProcessId();
    let found = null;
    EnumWindows((hwnd) => {
        const owner = [0];
        GetWindowThreadProcessId(hwnd, owner);
        if (owner[0] === pid && IsWindowVisible(hwnd) && wideText(GetClassNameW, hwnd, 64) === '#32770' &&
            wideText(InternalGetWindowText, hwnd) === caption) {
            found = hwnd;
            return 0;
        }
        return 1;
    }, 0);
    return found;
}

async function waitForDialog(caption, timeoutMs) {
    for (const end = Date.now() + timeoutMs; Date.now() < end; await sleep(50)) {
        const dialog = findDialog(caption);
        if (dialog)
            return dialog;
    }
    throw new Error(`no dialog "${caption}" within ${timeoutMs} ms`);
}

function rows(list) {
    const texts = [];
    const count = send(list, LB_GETCOUNT, 0, 0);
    for (let index = 0; index < count; ++index) {
        const length = send(list, LB_GETTEXTLEN, index, 0);
        const buffer = Buffer.alloc((length + 1) * 2);
        send(list, LB_GETTEXT, index, buffer);
        texts.push(buffer.toString('utf16le', 0, length * 2));
    }
    return texts;
}

// Client coordinates of a row's check box: it stands at the row's start and is about as wide as the row
// is high, so half a row in is inside it at any DPI.
function checkBoxPoint(list, row) {
    const rect = Buffer.alloc(16);
    send(list, LB_GETITEMRECT, row, rect);
    const left = rect.readInt32LE(0), top = rect.readInt32LE(4), bottom = rect.readInt32LE(12);
    return { x: left + Math.floor((bottom - top) / 2), y: Math.floor((top + bottom) / 2) };
}

function clickCheckBox(list, row) {
    const { x, y } = checkBoxPoint(list, row);
    const at = ((y & 0xFFFF) << 16) | (x & 0xFFFF);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
}

function pressSpaceOn(list, row) {
    // The keyboard focus to that row, as the arrow keys would move it; posted, to stay behind the click.
    PostMessageW(list, LB_SETCARETINDEX, row, 0);
    PostMessageW(list, WM_KEYDOWN, VK_SPACE, 1);
    PostMessageW(list, WM_KEYUP, VK_SPACE, (1 | (1 << 30) | (1 << 31)) >>> 0);
}

// Leaves the dialog whatever happened to the run, so the call returns.
function cancel(dialog) {
    if (dialog && IsWindow(dialog)) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

// Plays one session at the multi-file dialog: unchecks the row `uncheck`, checks the row `check` (paths
// as shown), presses Advanced when it is enabled, then OK. Returns what the user saw.
async function play({ uncheck, check, timeoutMs = 60000 }) {
    const seen = { rows: [], advancedEnabled: false, dialog: null };
    try {
        seen.dialog = await waitForDialog('Options', timeoutMs);
        const list = GetDlgItem(seen.dialog, IDC_FILE_LIST);
        seen.rows = rows(list);
        const uncheckRow = seen.rows.indexOf(uncheck), checkRow = seen.rows.indexOf(check);
        if (uncheckRow < 0 || checkRow < 0)
            throw new Error('the dialog does not show the rows to change');
        clickCheckBox(list, uncheckRow);
        pressSpaceOn(list, checkRow);
        const advanced = GetDlgItem(seen.dialog, IDC_ADVANCED);
        seen.advancedEnabled = IsWindowEnabled(advanced) !== 0;
        if (seen.advancedEnabled)
            PostMessageW(advanced, BM_CLICK, 0, 0);
        PostMessageW(GetDlgItem(seen.dialog, IDOK), BM_CLICK, 0, 0);
        return seen;
    } catch (error) {
        cancel(seen.dialog);
        error.seen = seen;
        throw error;
    }
}

// Presses OK in the dialog with this caption once it is there.
async function pressOk(caption, timeoutMs) {
    const dialog = await waitForDialog(caption, timeoutMs);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

module.exports = { play, pressOk, findDialog, cancel, same };
