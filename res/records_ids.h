// Ids of the record, statistics and account windows.
#pragma once
#include "TextIds.h"

// Dialogs.
#define IDD_USER_MANAGEMENT 181
#define IDD_STATISTICS 184
#define IDD_RECORD_QUERY 187
#define IDD_ADD_RECORD 207
#define IDD_USAGE_CHART 41900

// Icons of the statistics window: data arriving, quiet, and the one it opens with.
#define IDI_ACTIVITY_RECEIVING 155
#define IDI_ACTIVITY_QUIET 156
#define IDI_ACTIVITY_START 208

// The record query page.
#define IDC_RECORD_ACCOUNT 1023
#define IDC_RECORD_LIST 1083
#define IDC_RECORD_DELETE 1084
#define IDC_RECORD_QUERY 1103
#define IDC_RECORD_SELECT_ALL 1104
#define IDC_RECORD_ADD 1106
#define IDC_RECORD_EXPORT 1107
#define IDC_RECORD_SUMMARY 1142
#define IDC_RECORD_YEAR 1163
#define IDC_RECORD_MONTH 1164
#define IDC_RECORD_DAY 1165
#define IDC_RECORD_CHART 41901

// The add-session dialog.
#define IDC_ADD_USER 1024
#define IDC_ADD_SENT 1026
#define IDC_ADD_RECEIVED 1027
#define IDC_ADD_ADDRESS 1143
#define IDC_ADD_START_DATE 1153
#define IDC_ADD_END_DATE 1155
#define IDC_ADD_START_TIME 1162
#define IDC_ADD_END_TIME 1163

// The user management page (its list and 删除 share the query page's ids).
#define IDC_USER_LIST 1083
#define IDC_USER_DELETE 1084
#define IDC_USER_SAVE 3

// The statistics window.
#define IDC_STAT_SPEED 1142
#define IDC_STAT_ADDRESS 1170
#define IDC_STAT_SENT 1171
#define IDC_STAT_RECEIVED 1173
#define IDC_STAT_CONNECTED 1174
#define IDC_STAT_ICON 1175
#define IDC_STAT_ALLOWANCE_LABEL 1176
#define IDC_STAT_ALLOWANCE 1177
#define IDC_STAT_GRAPH 41902

// The usage chart window.
#define IDC_CHART_AREA 41903
