// Identifiers of the dialog templates and their controls. Shared by corvel.rc and the code.
#ifndef CORVEL_RESOURCE_H
#define CORVEL_RESOURCE_H

#define IDD_SESSION_OPTIONS 129
#define IDD_DIFF_OPTIONS 130
#define IDD_SINGLE_FILE_OPTIONS 131
#define IDD_RENAME_OPTIONS 132
#define IDD_MULTI_FILE_OPTIONS 133
#define IDD_CHECK_IN_OPTIONS 137
#define IDD_CHECK_OUT_OPTIONS 138

#define IDC_ADVANCED 1000
#define IDC_IGNORE_CASE 1001
#define IDC_IGNORE_SPACES 1002
#define IDC_BROWSE 1004
#define IDC_PATH 1006
#define IDC_NEW_NAME 1007
#define IDC_FILE_LIST 1008
#define IDC_KEEP_CHECKED_OUT 1012
#define IDC_COMMENT 1013
#define IDC_KEEP_AFTER_CHECK_IN 1014
#define IDC_KEEP_AFTER_ADD 1015
#define IDC_SELECT_ALL 1019
// The line above a long file list while its rows arrive; gone once the list is complete.
#define IDC_FILL_PROGRESS 1020

// Strings, in every language's string table.
#define IDS_CHECKED_SUMMARY 200
#define IDS_MENU_CHECK 201
#define IDS_MENU_UNCHECK 202
#define IDS_MENU_CHECK_ALL 203
#define IDS_MENU_UNCHECK_ALL 204
#define IDS_MENU_INVERT 205
#define IDS_MENU_COPY_PATHS 206
#define IDS_ACTION_CHECK 207
#define IDS_ACTION_UNCHECK 208
#define IDS_ADVANCED_UNAVAILABLE 209
#define IDS_ALL_FILES 210
#define IDS_HIDDEN_CONTAINS 211
#define IDS_HIDDEN_SUMMARY_ONE 212
#define IDS_HIDDEN_SUMMARY 213
#define IDS_HIDDEN_IN_BOX 214
#define IDS_LIST_SEPARATOR 215
// What a hidden or direction-changing character is, by kind; a language may name single characters
// (IDS_CHAR_*), which otherwise read as their kind.
#define IDS_KIND_OVERRIDE 216
#define IDS_KIND_EMBEDDING 217
#define IDS_KIND_ISOLATE 218
#define IDS_KIND_MARK 219
#define IDS_KIND_INVISIBLE 220
#define IDS_KIND_CONTROL 221
#define IDS_KIND_FORMAT 222
#define IDS_FILL_PROGRESS 223
#define IDS_CHAR_LRO 230
#define IDS_CHAR_RLO 231
#define IDS_CHAR_LRE 232
#define IDS_CHAR_RLE 233
#define IDS_CHAR_PDF 234
#define IDS_CHAR_LRI 235
#define IDS_CHAR_RLI 236
#define IDS_CHAR_FSI 237
#define IDS_CHAR_PDI 238
#define IDS_CHAR_LRM 239
#define IDS_CHAR_RLM 240
#define IDS_CHAR_ALM 241
#define IDS_CHAR_ZWSP 242
#define IDS_CHAR_ZWNJ 243
#define IDS_CHAR_ZWJ 244
#define IDS_CHAR_WJ 245
#define IDS_CHAR_ZWNBSP 246
#define IDS_CHAR_SHY 247
#define IDS_CHAR_VS 248
#define IDS_CHAR_LS 249
#define IDS_CHAR_PS 250

#endif // CORVEL_RESOURCE_H
