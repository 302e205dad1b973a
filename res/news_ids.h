// Ids of the news window's resources.
#pragma once
#include "TextIds.h"

#define IDD_NEWS 227
#define IDC_NEWS_VIEW 1194

// The menu command that opens the news window.
#define ID_NEWS 47001
