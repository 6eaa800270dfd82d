#pragma once
// Numeric identifiers shared by the program and its language bundles. The
// bundles key every text, menu, dialog and picture by these numbers, and the
// help sets use command and control identifiers as context numbers.

namespace Ids {

// Menus, accelerator table, toolbar, document strings.
inline constexpr int IDR_MAINFRAME = 128;   // menu without a document, title string, icon
inline constexpr int IDR_PROGRAMTYPE = 129; // menu with a document, document string, icon

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_PROGRAM_FORM = 101;
inline constexpr int IDD_NAVIGATION_BAR = 130;
inline constexpr int IDD_PROGRESS = 131;
inline constexpr int IDD_OPTIONAL_FEATURES = 132;
inline constexpr int IDD_LANGUAGE = 134;
inline constexpr int IDD_PRODUCT_INFO = 136;
inline constexpr int IDD_PORT_SETTING = 144;

// Pictures.
inline constexpr int IDI_CLOSE_BUTTON = 131;
inline constexpr int IDC_RESIZE_CURSOR = 132;
inline constexpr int IDB_WORKSPACE = 137;

// Commands.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_HELP = 57670;
inline constexpr int ID_HELP_FINDER = 57667; // Help > Help Topics
// File > Recent Files: one command per entry, newest first.
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_LAST = 57623;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_READ = 32773;
inline constexpr int ID_WRITE = 32774;
inline constexpr int ID_WRITE_MANY = 32845; // Write to Many Radios...
inline constexpr int ID_COM_SETUP = 32777;
inline constexpr int ID_CONTROL_BAR = 32780;
inline constexpr int ID_PRODUCT_INFORMATION = 32786;
inline constexpr int ID_CHANNEL_INFORMATION = 32787;
inline constexpr int ID_OPTIONAL_FEATURES = 32788;
inline constexpr int ID_LANGUAGE = 32799;
inline constexpr int ID_FILE_IMPORT_CHANNELS = 32810;
inline constexpr int ID_FILE_EXPORT_CHANNELS = 32811;
// The Edit menu's channel commands; the clipboard and undo ones carry the
// framework's usual numbers.
inline constexpr int ID_EDIT_CLEAR = 57632; // Delete Channels
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_EDIT_INSERT_CHANNEL = 32840;
inline constexpr int ID_EDIT_MOVE_UP = 32841;
inline constexpr int ID_EDIT_MOVE_DOWN = 32842;
// One change for many channels, and the channel plans.
inline constexpr int ID_EDIT_CHANNEL_PLAN = 32860;
inline constexpr int ID_EDIT_FILL_DOWN = 32861;
inline constexpr int ID_EDIT_SORT_BY_FREQUENCY = 32862;

// Strings.
inline constexpr int IDS_INDICATOR_CAPS = 59137;
inline constexpr int IDS_INDICATOR_NUM = 59138;
inline constexpr int IDS_INDICATOR_SCRL = 59139;
inline constexpr int IDS_IDLE_MESSAGE = 57345;
inline constexpr int IDS_OUT_OF_RANGE = 61448;
inline constexpr int IDS_INVALID_VALUE = 61449;
inline constexpr int IDS_OPERATION_DONE = 61450;
inline constexpr int IDS_COMM_ERROR = 61451;
inline constexpr int IDS_CLEAR_ALL_DATA = 61452;
inline constexpr int IDS_PORT_OPEN_FAILED = 61453;
inline constexpr int IDS_PROGRAM_INTERRUPT = 61454;
inline constexpr int IDS_SAVE_FAILED = 61455;
inline constexpr int IDS_STEP_ERROR = 61456;
inline constexpr int IDS_OPEN_FAILED = 61457;
inline constexpr int IDS_CAUTION = 61458;

// Controls.
inline constexpr int IDC_GRID = 1000;
inline constexpr int IDC_ABOUT_VERSION = 1002;
inline constexpr int IDC_ABOUT_COPYRIGHTS = 1003;
inline constexpr int IDC_ABOUT_OWNER = 1004;
inline constexpr int IDC_ABOUT_ICON = 1005;
inline constexpr int IDC_TITLE_STATIC = 1006;
inline constexpr int IDC_RADIO_ENGLISH = 1006;
inline constexpr int IDC_RADIO_CHINESE = 1007;
inline constexpr int IDC_NAVIGATION_TREE = 1031;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Control-bar identifiers of the main frame.
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_STATUS_BAR = 59393;
inline constexpr int IDW_NAVIGATION_BAR = 100;

// A help request for a command carries the command plus this base.
inline constexpr int HID_BASE_COMMAND = 0x10000;
inline constexpr int HID_BASE_RESOURCE = 0x20000;

} // namespace Ids
