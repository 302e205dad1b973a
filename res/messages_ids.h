// Ids of the message centre, the message pop-up and their commands.
#pragma once
#include "TextIds.h"

// The message centre ("历史消息管理").
#define IDD_MESSAGE_CENTER 242
#define IDC_MSG_EXPORT 1141
#define IDC_MSG_DATE 1153
#define IDC_MSG_DELETE 1210
#define IDC_MSG_SEARCH 1211
#define IDC_MSG_LIST 1213
#define IDC_MSG_HEADER 1215
#define IDC_MSG_TEXT 1217
#define IDC_MSG_TYPE 1221
#define IDC_MSG_LINK 1223
#define IDC_MSG_EXIT 1003

// The pop-up of a new message.
#define IDD_MESSAGE_POPUP 46000
#define IDC_POPUP_TITLE 46001
#define IDC_POPUP_TEXT 46002

// Commands: pop-ups on and off (the centre itself is ID_MESSAGE_CENTER).
#define ID_MESSAGE_POPUPS 46010
