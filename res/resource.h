// Resource identifiers shared by the resource script and the code.
// The numbers are part of the program's contract (help contexts, tests,
// stored data never depend on them, but the menus and dialogs do).
#ifndef JOTWISE_RES_RESOURCE_H
#define JOTWISE_RES_RESOURCE_H

// Icons, bitmaps, accelerators
#define IDI_JOTWISE 101
#define IDB_TOOLBAR 101
#define IDA_MAIN 101

// Menus
#define IDM_TRAY 101
#define IDM_EDITOR 105
#define IDM_NOTE 106

// Tray menu commands (main window)
#define IDM_NEW_NOTE 1001
#define IDM_SHOW_ALL 1002
#define IDM_ARRANGE 1003
#define IDM_HIDE_ALL 1005
#define IDM_OPTIONS 1008
#define IDM_EXIT 1009
#define IDM_FIT_WIDTH 1011
#define IDM_FIT_HEIGHT 1012
#define IDM_FIT_BOTH 1013
#define IDM_OPTIMIZE 1015
#define IDM_HELP 1021
#define IDM_HOME_PAGE 1023
#define IDM_ABOUT 1025
#define IDM_BACKUP 1031
#define IDM_NOTE_LIST 1033

// The note list's context menu and its commands
#define IDM_LIST_POPUP 121
#define IDM_LIST_SHOW 1201
#define IDM_LIST_EDIT 1202
#define IDM_LIST_RESTORE 1203
#define IDM_LIST_DELETE 1204
#define IDM_LIST_EMPTY_BIN 1205

// Position of the size submenu inside the tray popup (greyed by position)
#define TRAY_SIZE_SUBMENU_POS 5

// Note context menu commands (1015 and 1021 are shared with the tray menu)
#define IDM_NOTE_PEEL 1101
#define IDM_NOTE_DELETE 1102
#define IDM_NOTE_EDIT 1111
#define IDM_NOTE_DUPLICATE 1112
#define IDM_NOTE_HIDE 1113
#define IDM_NOTE_PROPERTIES 1115
#define IDM_NOTE_TOPMOST 1121

// Editor menu and toolbar commands (1021 is help)
#define IDM_EDIT_APPLY 1151
#define IDM_EDIT_CLOSE 1152
#define IDM_EDIT_FONT 1155
#define IDM_EDIT_BACKCOLOUR 1156
#define IDM_EDIT_DUE 1157
#define IDM_EDIT_PROPERTIES 1158
#define IDM_EDIT_UNDO 1161
#define IDM_EDIT_CUT 1162
#define IDM_EDIT_COPY 1165
#define IDM_EDIT_PASTE 1166
#define IDM_EDIT_CLEAR 1167
#define IDM_EDIT_SELECTALL 1168
#define IDM_EDIT_INSERTDATE 1169

// Dialogs
#define IDD_ABOUT 101
#define IDD_DUE 103
#define IDD_OPTIONS 111
#define IDD_OPTIONS_GENERAL 112
#define IDD_OPTIONS_DUE 113
#define IDD_OPTIONS_EXTRA 114
#define IDD_NOTE_LIST 121

// About box controls
#define IDC_ABOUT_VERSION 101
#define IDC_ABOUT_TITLE 102

// Due-date dialog controls
#define IDC_DUE_YEAR 101
#define IDC_DUE_MONTH 102
#define IDC_DUE_DAY 103
#define IDC_DUE_HOUR 104
#define IDC_DUE_MINUTE 105
#define IDC_DUE_SECOND 106
#define IDC_DUE_ZERO 107

// Options dialog frame
#define IDC_OPT_TAB 101
#define IDC_OPT_HELP 9
#define IDC_OPT_RESET 102

// Options, general page
#define IDC_OPT_FONT_TEXT 111
#define IDC_OPT_FONT_PICK 112
#define IDC_OPT_BACK_SWATCH 115
#define IDC_OPT_BACK_PICK 116
#define IDC_OPT_BORDER 121
#define IDC_OPT_IME 122
#define IDC_OPT_CUT_NEWLINE 125
#define IDC_OPT_TAB_WIDTH 126

// Options, due page
#define IDC_OPT_DUE_AMOUNT 131
#define IDC_OPT_DUE_UNIT 132
#define IDC_OPT_BLINK 133
#define IDC_OPT_BLACK_WHITE 135
#define IDC_OPT_EVE_ON 151
#define IDC_OPT_EVE_SWATCH 152
#define IDC_OPT_EVE_PICK 153
#define IDC_OPT_DUE_ON 154
#define IDC_OPT_DUE_SWATCH 155
#define IDC_OPT_DUE_PICK 156

// Options, extra page
#define IDC_OPT_REMIND 161
#define IDC_OPT_OPACITY 162
#define IDC_OPT_OPACITY_TEXT 163
#define IDC_OPT_HOTKEY 164
#define IDC_OPT_HOTKEY_STATUS 165

// Note list controls
#define IDC_LIST_SEARCH_LABEL 201
#define IDC_LIST_SEARCH 202
#define IDC_LIST_VIEW 203
#define IDC_LIST_SHOW 204
#define IDC_LIST_EDIT 205
#define IDC_LIST_RESTORE 206
#define IDC_LIST_DELETE 207
#define IDC_LIST_EMPTY_BIN 208
#define IDC_LIST_CLOSE 209

// Editor child controls
#define IDC_EDITOR_EDIT 30011
#define IDC_EDITOR_TOOLBAR 30013

// Strings
#define IDS_HOME_PAGE 7001
#define IDS_DISPLAY_NAME 7002
#define IDS_UNIT_MONTH 7011
#define IDS_UNIT_DAY 7012
#define IDS_UNIT_HOUR 7013
#define IDS_UNIT_MINUTE 7014
#define IDS_EDITOR_TITLE 7021
#define IDS_PROPERTIES_CAPTION 7022
#define IDS_TAB_GENERAL 7023
#define IDS_TAB_DUE 7025
#define IDS_TAB_EXTRA 7027
#define IDS_NO_DUE_DATE 7031
#define IDS_CONFIRM_CAPTION 7051
#define IDS_OVERDUE 7052
#define IDS_ASK_DELETE 7071
#define IDS_ASK_PEEL 7072
#define IDS_ASK_DISCARD 7073
#define IDS_ASK_ARRANGE 7075
#define IDS_REMIND_TITLE 7140
#define IDS_REMIND_OVERDUE_COUNT 7141
#define IDS_REMIND_MORE 7142
#define IDS_REMIND_OVERDUE_TITLE 7200
#define IDS_HOTKEY_TAKEN 7143
#define IDS_OPACITY_PERCENT 7144
#define IDS_LIST_COLUMN_TEXT 7170
#define IDS_LIST_COLUMN_DUE 7171
#define IDS_LIST_COLUMN_STATE 7172
#define IDS_LIST_COLUMN_COLOUR 7173
#define IDS_STATE_SHOWN 7174
#define IDS_STATE_HIDDEN 7175
#define IDS_STATE_PEELED_OFF 7176
#define IDS_STATE_NOT_LOADED 7177
#define IDS_STATE_IN_BIN 7178
#define IDS_LIST_SWATCH 7179
#define IDS_ASK_EMPTY_BIN 7180
#define IDS_ASK_DELETE_FOREVER 7181
#define IDS_LIST_TITLE 7182
#define IDS_ASK_UNSTORABLE_TEXT 7120
#define IDS_ERR_FACE_NAME 7121
#define IDS_ERR_NO_TEXT 8001
#define IDS_ERR_TOO_MANY 8002
#define IDS_ERR_NO_ID 8003
#define IDS_ERR_SAVE 8100
#define IDS_ERR_BACKUP 8101
#define IDS_ERR_HELP_BLOCKED 8102
#define IDS_ERR_EXIT_DRAFT 8110
#define IDS_BACKUP_FILTER 7100
#define IDS_BACKUP_TITLE 7101
#define IDS_UNDER_CONSTRUCTION 8999
#define IDS_TOOLTIP_BASE 10000

// Help contexts
#define HELP_CONTEXT_EDITOR 1011
#define HELP_CONTEXT_NOTE 1012
#define HELP_CONTEXT_OPTIONS 1021
#define HELP_CONTEXT_OPTIONS_EXTRA 1022
#define HELP_CONTEXT_NOTE_LIST 1031

#endif
