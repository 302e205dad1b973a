// Ids of the shortcut panel's resources.
#pragma once
#include "TextIds.h"

#define IDR_OUTLOOK_MENU 165

// The outlook bar's context-menu commands, in the menu's order.
#define ID_OUTLOOK_LARGE_ICONS 42101
#define ID_OUTLOOK_SMALL_ICONS 42102
#define ID_OUTLOOK_ADD_FOLDER 42103
#define ID_OUTLOOK_DELETE_FOLDER 42104
#define ID_OUTLOOK_ADD_FILE 42105
#define ID_OUTLOOK_ADD_WEB 42106
#define ID_OUTLOOK_DELETE_FILE 42107
#define ID_OUTLOOK_RENAME 42108

// Dialogs of the shortcut panel and their controls.
#define IDD_ADD_GROUP 42200
#define IDD_ADD_FILE 42201
#define IDD_ADD_WEB 42202
#define IDD_OPENSOFT 42203

#define IDC_GROUP_NAME 42300
#define IDC_FILE_PATH 42301
#define IDC_FILE_BROWSE 42302
#define IDC_FILE_KIND_FILE 42303
#define IDC_FILE_KIND_FOLDER 42304
#define IDC_WEB_NAME 42305
#define IDC_WEB_ADDRESS 42306
#define IDC_OPENSOFT_LIST 42307
#define IDC_OPENSOFT_ADD_PROGRAM 42308
#define IDC_OPENSOFT_ADD_WEB 42309
#define IDC_OPENSOFT_DELETE 42310

// The shortcut panel's control over its page.
#define IDC_OUTLOOK_BAR 2008

// Art: the hand over the headers, the built-in icons of the image lists, the page's
// background.
#define IDC_OUTLOOK_HAND 166
#define IDI_SHORTCUT_COMPUTER 42400
#define IDI_SHORTCUT_FOLDER 42401
#define IDI_SHORTCUT_PROGRAM 42402
#define IDI_SHORTCUT_WEB 42403
#define IDB_SHORTCUTS_BACKGROUND 42404

// The main window's command for the editor of the programs opened after connecting.
#define ID_OPENSOFT_EDITOR 42500
