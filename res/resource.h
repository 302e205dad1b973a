// Resource identifiers. The numbers are fixed: other programs and the provider's help
// refer to the windows and commands by them.
#pragma once

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

// Icons
#define IDI_MAIN 128
#define IDI_TRAY_OFFLINE 250

// Strings
#define IDS_SOCKETS_FAILED 103

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
#define IDS_TAB_LOGIN 32785
#define IDS_TAB_SHORTCUTS 32786
#define IDS_TAB_SERVICES 32787
#define IDS_TAB_CONTACT 32788
#define ID_STATISTICS 32794
#define ID_USER_MANAGEMENT 32795
#define ID_RECORD_QUERY 32796
#define ID_MENU_SETTINGS 32797
#define ID_TRAY_SHOW 32803
#define ID_TRAY_STATUS 32804
#define ID_MESSAGE_CENTER 32815
#define ID_HELP 32816
