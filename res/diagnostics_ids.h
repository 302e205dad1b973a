// Ids of the fault-check window and its cable-modem address dialog.
#pragma once
#include "TextIds.h"

// Dialogs.
#define IDD_FAULT_CHECK 149
#define IDD_FAULT_LIST_PAGE 43030
#define IDD_MODEM_ADDRESS 43040

// The summary view: the two groups, the stages (the adapter and the PPPoE driver with
// three icons each in one place), the connector, the verdict and the bar.
#define IDC_FAULT_BANNER 43001
#define IDC_FAULT_LOCAL_GROUP 43002
#define IDC_FAULT_REMOTE_GROUP 43003
#define IDC_FAULT_ADAPTER_NEUTRAL 43004
#define IDC_FAULT_ADAPTER_GOOD 43005
#define IDC_FAULT_ADAPTER_FAULT 43006
#define IDC_FAULT_PPPOE_NEUTRAL 43007
#define IDC_FAULT_PPPOE_GOOD 43008
#define IDC_FAULT_PPPOE_FAULT 43009
#define IDC_FAULT_MODEM_ICON 43010
#define IDC_FAULT_CONNECTOR_ICON 43011
#define IDC_FAULT_GATEWAY_ICON 43012
#define IDC_FAULT_SERVER_ICON 43013
#define IDC_FAULT_ADAPTER_LABEL 43014
#define IDC_FAULT_PPPOE_LABEL 43015
#define IDC_FAULT_MODEM_LABEL 43016
#define IDC_FAULT_GATEWAY_LABEL 43017
#define IDC_FAULT_SERVER_LABEL 43018
#define IDC_FAULT_RESULT_LABEL 43019
#define IDC_FAULT_VERDICT 43020
#define IDC_FAULT_PROGRESS 43021
// The details view and the buttons.
#define IDC_FAULT_TABS 43022
#define IDC_FAULT_DETAILS 43023
#define IDC_FAULT_START 43024
#define IDC_FAULT_STOP 43025
#define IDC_FAULT_CONFIGURE 43026
// The list of a details page.
#define IDC_FAULT_LIST 43031

// The cable-modem address dialog.
#define IDC_MODEM_AUTO 43041
#define IDC_MODEM_ADDRESS 43042

// The notice shown instead of the check while the link is up, and its texts.
#define IDD_LINK_IS_UP 226
#define IDC_LINK_IS_UP_ICON 43050
#define IDC_LINK_IS_UP_TEXT 43051

// Icons of the stages: neutral, good and fault for the adapter and the PPPoE driver, one
// each for the others; the bitmap along the left edge.
#define IDI_STAGE_ADAPTER 43100
#define IDI_STAGE_ADAPTER_GOOD 43101
#define IDI_STAGE_ADAPTER_FAULT 43102
#define IDI_STAGE_PPPOE 43103
#define IDI_STAGE_PPPOE_GOOD 43104
#define IDI_STAGE_PPPOE_FAULT 43105
#define IDI_STAGE_MODEM 43106
#define IDI_STAGE_CONNECTOR 43107
#define IDI_STAGE_GATEWAY 43108
#define IDI_STAGE_SERVER 43109
#define IDB_FAULT_BANNER 43120
