// The settings page of the daily reconnect and the monthly allowance.
#define IDD_SETTINGS_SCHEDULE 44100
#define IDC_SCHEDULE_RECONNECT 44110
#define IDC_SCHEDULE_TIME 44111
#define IDC_ALLOWANCE_HOURS 44112
#define IDC_ALLOWANCE_GIGABYTES 44113
#define IDC_ALLOWANCE_START_DAY 44114
