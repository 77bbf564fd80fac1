// Resource and control ids of the launcher (shared by the code and Pellquin.rc).
#pragma once

#define IDD_PELLQUIN_DIALOG 102
#define IDR_MAINFRAME 128
#define IDC_BANNER 130
#define IDC_DOWNLOAD_DIR 1001
#define IDC_BROWSE 1002
#define IDC_PROGRESS 1003
#define IDC_INTRO_TEXT 1005
#define IDC_WELCOME_TEXT 1006
#define IDC_DIR_LABEL 1007
