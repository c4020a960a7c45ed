#pragma once

// Numeric ids of the desktop program's commands, windows and texts. The
// values are those other programs of this family and their help files know,
// so they stay fixed; tests find actions and controls by them.

namespace corvat {

// Menu, accelerator table, toolbar, main icon and document string share one id.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_CORVATTYPE = 129;  // document icon
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDC_LEGAL_NOTICE = 1004;  // About box: the legal notice
inline constexpr int IDOK_BUTTON = 1;

// The program's own commands.
inline constexpr int ID_SETTINGS = 32771;
inline constexpr int ID_CLEAR_WINDOW = 32774;
inline constexpr int ID_REMOVE_SECURITY = 32775;

// Standard commands, with the numbers every program of this kind uses.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_LAST = 57631;  // last id of the recent-file range
inline constexpr int ID_EDIT_CLEAR = 57632;
inline constexpr int ID_EDIT_CLEAR_ALL = 57633;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_FIND = 57636;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_REPEAT = 57640;
inline constexpr int ID_EDIT_REPLACE = 57641;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_WINDOW_SPLIT = 57653;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_HELP_INDEX = 57666;
inline constexpr int ID_HELP_FINDER = 57667;
inline constexpr int ID_HELP_USING = 57668;
inline constexpr int ID_CONTEXT_HELP = 57669;
inline constexpr int ID_HELP = 57670;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;

// Child windows of the main frame.
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_STATUS_BAR = 59393;

// String table rows that are not command prompts.
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr int AFX_IDS_HELPMODEMESSAGE = 57346;

// How many recently opened files the File menu lists.
inline constexpr int kRecentFileCount = 4;

}  // namespace corvat
