// Resource ids shared by app.rc and the code.
#pragma once

#define IDI_PROGRAM 1
#define IDI_CONNECTED 2
#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 101
#define IDC_ABOUT_VERSION 102
