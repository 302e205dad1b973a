// Resource identifiers. The numbers are fixed: other programs and the provider's help
// refer to the windows and commands by them.
#pragma once

// The texts' ids are numbered by scripts/gen-texts from the string tables.
#include "TextIds.h"

// Dialogs
#define IDD_ABOUT 100
#define IDD_MAIN 102
#define IDD_LOGIN 146
#define IDD_PAGE_SHORTCUTS 162
#define IDD_PAGE_SERVICES 169
#define IDD_PAGE_CONTACT 228

// Menus and toolbar
#define IDR_TRAY_MENU 130
#define IDR_MAIN_MENU 133
#define IDR_TOOLBAR 137
// The main window's keys (Ctrl+N, Ctrl+D, F1), under the number of the menu that names them.
#define IDR_MAIN_ACCELERATORS 133

// Bitmaps
#define IDB_MAIN_BACKGROUND 129
#define IDB_TOOLBAR_HOT 134
#define IDB_TOOLBAR_DISABLED 135
#define IDB_TOOLBAR_NORMAL 136
#define IDB_TABS 138
#define IDB_LOGIN_BACKGROUND 139
#define IDB_DISCONNECT_HOT 158
#define IDB_CONNECT_HOT 159
#define IDB_DISCONNECT_NORMAL 160
#define IDB_CONNECT_NORMAL 161
#define IDB_DISCONNECT_DISABLED 163
#define IDB_CONNECT_DISABLED 164
#define IDB_CAPTION_CLOSE_HOT 251
#define IDB_CAPTION_CLOSE 252
#define IDB_CAPTION_MINIMIZE_HOT 253
#define IDB_CAPTION_MINIMIZE 254

// Icons
#define IDI_MAIN 128
#define IDI_TRAY_OFFLINE 250

// Controls of the main window
#define IDC_TABS 1001
#define IDC_IP_LABEL 1009
#define IDC_ENTRY_LABEL 1011
#define IDC_STATE_LABEL 1012
#define IDC_IP_VALUE 1013
#define IDC_ENTRY_VALUE 1014
#define IDC_STATE_VALUE 1015
#define IDC_STATUS_LINE 1016
#define IDC_ABOUT_LINK 1019

// Controls of the about dialog and of the presentation pages
#define IDC_ABOUT_ICON 1040
#define IDC_ABOUT_VERSION 1041
#define IDC_ABOUT_TEXT 1042
#define IDC_SITE_GUIDE_LINK 1043
#define IDC_SOFTWARE_LINK 1044
#define IDC_CONTACT_SLOGAN 1045
#define IDC_CONTACT_PROVIDER 1046
#define IDC_CONTACT_MAIL 1047

// Controls of the login page
#define IDC_DISCONNECT 1002
#define IDC_CONNECT 1003
#define IDC_ACCOUNT_LABEL 1004
#define IDC_ACCOUNT 1005
#define IDC_PASSWORD 1006
#define IDC_PASSWORD_LABEL 1007
#define IDC_DEVICES 1008
#define IDC_REMEMBER 1021

// Messages to the main window
#define WM_TRAY_NOTIFY (WM_USER + 1000)
#define WM_NO_ACTION (WM_USER + 1008)
#define WM_LINK_UP (WM_USER + 1010)
#define WM_LINK_DOWN (WM_USER + 1011)
#define WM_NEWS_WINDOW (WM_USER + 10003)
#define WM_START_PROGRAMS (WM_USER + 10004)
#define WM_NETWORK_READY (WM_USER + 10005)

// Commands
#define ID_TRAY_DISCONNECT 32771
#define ID_TRAY_EXIT 32772
#define ID_UPDATE 32773
#define ID_TRAY_CONNECT 32774
#define ID_MENU_CONNECT 32775
#define ID_MENU_DISCONNECT 32776
#define ID_MENU_EXIT 32778
#define ID_FAULT_CHECK 32779
#define ID_MENU_ABOUT 32780
#define ID_TOOL_CONNECT 32781
#define ID_TOOL_DISCONNECT 32782
#define ID_TOOL_SETTINGS 32783
#define ID_TRAY_ABOUT 32784
#define ID_STATISTICS 32794
#define ID_USER_MANAGEMENT 32795
#define ID_RECORD_QUERY 32796
#define ID_MENU_SETTINGS 32797
#define ID_TRAY_SHOW 32803
#define ID_TRAY_STATUS 32804
#define ID_MESSAGE_CENTER 32815
#define ID_HELP 32816
#define ID_START_LIST 32817
#include "records_ids.h"
#include "shortcuts_ids.h"
#include "messages_ids.h"
#include "diagnostics_ids.h"
#include "news_ids.h"
#include "settings_ids.h"
#include "update_ids.h"
#include "automation_ids.h"
