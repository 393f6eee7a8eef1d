// Types of @corvel/dialogs (index.js): the option dialogs of corvel.dll for Node.js for Windows.

/** What a call answers: OK or Cancel, or why nothing was shown or written (corvel_c.h). */
export declare const Result: Readonly<{
    OK: 1;
    CANCEL: 0;
    E_NULL_ARGUMENT: -1;
    E_NULL_ARRAY: -2;
    E_INVALID_UTF8: -3;
    E_OUT_OF_MEMORY: -4;
    E_INTERNAL: -5;
    E_NO_DIALOG: -6;
}>;
export type ResultCode = (typeof Result)[keyof typeof Result];

/** A window handle as koffi passes it. */
export type WindowHandle = unknown;

/** The source-control provider's side of the "Advanced..." button. */
export interface Provider {
    /** True when advanced options can be shown now; asked once as a dialog opens. */
    hasOptions(): boolean;
    /** Shows the provider's options, owned by `owner` (the dialog); false when they could not be shown. */
    showOptions(owner: WindowHandle): boolean;
}

/** Outputs are null unless `result` is OK; in/out flags are written back on OK and on Cancel. */
export interface Dialogs {
    readonly Result: typeof Result;
    multiFileOptions(files: readonly string[], otherFiles: readonly string[], provider?: Provider | null):
        Promise<{ result: ResultCode; checked: string[] | null }>;
    checkInOptions(files: readonly string[], otherFiles: readonly string[],
                   options?: { keepCheckedOut?: boolean; comment?: string; maxCommentLength?: number },
                   provider?: Provider | null):
        Promise<{ result: ResultCode; checked: string[] | null; keepCheckedOut: boolean; comment: string | null }>;
    checkOutOptions(files: readonly string[], otherFiles: readonly string[],
                    options?: { comment?: string; maxCommentLength?: number }, provider?: Provider | null):
        Promise<{ result: ResultCode; checked: string[] | null; comment: string | null }>;
    singleFileOptions(path: string, provider?: Provider | null): Promise<{ result: ResultCode; path: string | null }>;
    diffOptions(path: string, flags?: { ignoreCase?: boolean; ignoreSpaces?: boolean }, provider?: Provider | null):
        Promise<{ result: ResultCode; path: string | null; ignoreCase: boolean; ignoreSpaces: boolean }>;
    renameOptions(existingFile: string, newName: string):
        Promise<{ result: ResultCode; existingFile: string | null; newName: string | null }>;
    sessionOptions(flags?: SessionFlags, provider?: Provider | null): Promise<{ result: ResultCode } & Required<SessionFlags>>;
}

export interface SessionFlags {
    ignoreCase?: boolean;
    ignoreSpaces?: boolean;
    keepCheckedOutAfterAdd?: boolean;
    keepCheckedOutAfterCheckIn?: boolean;
}

/** Loads corvel.dll: by default the one of this package for the running Node's architecture. */
export declare function load(dllPath?: string): Dialogs;
/** The path of that default DLL (bin/x86 or bin/x64 of this package). */
export declare function defaultDllPath(): string;
