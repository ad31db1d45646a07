/* Identifiers of every resource, control, command and message the program shares between its .rc files and its code.
 * Plain #defines only: windres and the C++ compiler both read this file. */
#ifndef TARVISK_RESOURCE_H
#define TARVISK_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Dialog templates */
#define IDD_MINI 100
#define IDD_MAIN 102
#define IDD_ABOUT 142
#define IDD_HOTKEY 144
#define IDD_CHART86 157
#define IDD_CHART98 158
#define IDD_CHARTRARE 159

/* Menus and the toolbar whose button ids bind menu pictures to commands */
#define IDR_TRAYMENU 131
#define IDR_MINIMENU 132
#define IDR_TOOLBAR 168

/* Icons */
#define IDI_APP 128
#define IDI_OK_NORMAL 158
#define IDI_CANCEL_HOT 159
#define IDI_HELP 161
#define IDI_OK_HOT 162
#define IDI_ABOUT 163
#define IDI_EXIT 164
#define IDI_HOTKEY 165
#define IDI_CANCEL_NORMAL 166
#define IDI_MINI 167

/* Cursor */
#define IDC_HAND_POINT 129

/* Bitmaps */
#define IDB_THUMB 153
#define IDB_ABOUT 167
#define IDB_TOOLBAR 168

/* Radical chart pictures, resource type "GIF" */
#define IDG_CHART86 173
#define IDG_CHART98 174
#define IDG_CHARTRARE 175

/* Controls */
#define IDC_INPUT 1000
#define IDC_CODE 1002
#define IDC_ED86 1003
#define IDC_ED98 1004
#define IDC_EDRARE 1005
#define IDC_MAIL 1006
#define IDC_PINYIN 1007
#define IDC_ENTER 1008
#define IDC_WEB 1012
#define IDC_HK_DEFAULT 1014
#define IDC_HK_CUSTOM 1015
#define IDC_HOTKEYBTN 1017
#define IDC_THUMB 1018
#define IDC_ABOUTBTN 1021
#define IDC_PICTUREBTN 1022
#define IDC_SHOWPINYIN 1024
#define IDC_CHART86PIC 1029
#define IDC_CHART98PIC 1030
#define IDC_CHARTRAREPIC 1031
#define IDC_HOTKEYCTRL 1031 /* the hotkey control of IDD_HOTKEY; same number as the rare chart's picture */
#define IDC_HELPBTN 1032
#define IDC_EXITBTN 1033
#define IDC_MINIBTN 1034

/* Menu commands; the menus also send IDC_HOTKEYBTN, IDC_MINIBTN, IDC_HELPBTN and IDC_ABOUTBTN */
#define ID_SHOW 32771
#define ID_EXIT 32774

/* The maker's addresses: the link texts of the main window and the About box show them, the links open them.
 * String literals, so that the templates and the code join them into their texts. */
#define TARVISK_MAIL_ADDRESS "help@tarvisk.app"
#define TARVISK_MAIL_URL "mailto:" TARVISK_MAIL_ADDRESS
#define TARVISK_WEB_URL "https://tarvisk.app"

/* Global hotkey and notification-area icon */
#define HOTKEY_ID 1001
#define TRAY_ICON_ID 128
#define WM_TRAYNOTIFY (WM_USER + 1)

#endif /* TARVISK_RESOURCE_H */
