// Ids of the settings dialog "用户设置" and its pages.
#pragma once
#include "TextIds.h"

// Dialogs: the settings dialog and its pages.
#define IDD_SETTINGS 148
#define IDD_SETTINGS_RUN 44000
#define IDD_SETTINGS_SHUTDOWN 44001
#define IDD_SETTINGS_PROXY 44002
#define IDD_SETTINGS_EMPTY 44003

// The settings dialog.
#define IDC_SETTINGS_TABS 44010
#define IDC_SETTINGS_APPLY 44011

// The run options page.
#define IDC_RUN_STARTUP 44020
#define IDC_RUN_AUTOCONNECT 44021
#define IDC_RUN_RECONNECT 44022
#define IDC_RUN_INTERVAL 44023
#define IDC_RUN_TRIES 44024
#define IDC_RUN_ALWAYS 44025

// The scheduled shutdown page.
#define IDC_SHUTDOWN_ON 44030
#define IDC_SHUTDOWN_ACTION 44031
#define IDC_SHUTDOWN_DATE 44032
#define IDC_SHUTDOWN_TIME 44033

// The proxy page.
#define IDC_PROXY_USE 44040
#define IDC_PROXY_ADDRESS 44041
#define IDC_PROXY_PORT 44042
