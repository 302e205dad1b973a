#pragma once
#include "TextIds.h"
// Resource ids of the update check and its settings page.
#define IDD_UPDATE_SETTINGS 45000
#define IDC_UPDATE_GROUP 45001
#define IDC_UPDATE_AUTOMATIC 45002
#define IDC_UPDATE_AUTOMATIC_NOTE 45003
#define IDC_UPDATE_MANUAL 45004
#define IDC_UPDATE_MANUAL_NOTE 45005
