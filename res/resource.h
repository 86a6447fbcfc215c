// Resource identifiers, shared by the program's code and its resource script.
#pragma once

// Dialogs
#define IDD_MAIN 102
#define IDD_OPTION 132
#define IDD_RECT_SELECT 133
#define IDD_ABOUT 134
#define IDD_READING 150

// Icons, cursor, menu, sound
#define IDI_TRAY 128
#define IDR_TRAY_MENU 129
#define IDC_PICKER 130
#define IDI_PICKER 131
#define IDR_SHUTTER 135
#define IDI_RECORDING 136  // the tray icon while a recording runs

// Tray menu commands
#define ID_EXIT 32771
#define ID_OPTION 32772
#define ID_ABOUT 32773

// Option dialog
#define IDC_BROWSE_AVI_FILE 1004
#define IDC_BROWSE_AVI_RECT 1005
#define IDC_END_AFTER 1006
#define IDC_END_AFTER_SPIN 1007
#define IDC_AVI_BEGIN 1008
#define IDC_AVI_END 1009
#define IDC_AVI_AUTO_BEGIN 1010
#define IDC_AVI_FILE 1011
#define IDC_AVI_RATE 1012
#define IDC_AVI_RATE_SPIN 1013
#define IDC_AVI_RECT 1014
#define IDC_CAPTURE_RECT 1015
#define IDC_BROWSE_CAPTURE_RECT 1016
#define IDC_BROWSE_DIRECTORY 1017
#define IDC_SAVE_TO_FILE 1019
#define IDC_PREFIX 1020
#define IDC_BASE_NUMBER 1021
#define IDC_DIGITS 1022
#define IDC_BASE_NUMBER_SPIN 1023
#define IDC_DIGITS_SPIN 1025
#define IDC_DIRECTORY 1026
#define IDC_BROWSE_TARGET_FILE 1027
#define IDC_ABOUT_ICON 1028
#define IDC_TARGET_FILE 1029
#define IDC_OVERWRITE 1030
#define IDC_AUTO_NUMBER 1031
#define IDC_FILE_TYPE 1032
#define IDC_INCLUDE_CURSOR 1033
#define IDC_AVI_COMPRESS 1034

// Reading progress window
#define IDC_READING_WHAT 1050
#define IDC_READING_HOW_FAR 1051
#define IDC_READING_BAR 1052

// About dialog
#define IDC_AUTHOR 118
#define IDC_HOMEPAGE 1007
#define IDC_EMAIL 1008

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
