/* Resource identifiers of quarnel.rc. Read by windres and by C++ alike, so it
   holds nothing but #define lines (and the #include of the settings'
   control ids).

   Control ids are per template: the same number means different controls in
   different templates (1030 is "Read" in the main window and the status text
   of the progress window). Each meaning has its own name; within one template
   no id repeats. */
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Dialog templates */
#define IDD_ABOUTBOX 100
#define IDD_CONFIG 102
#define IDD_WEP64_KEYS 105
#define IDD_EAP_ID 106
#define IDD_CHANGE_PASSWORD 107
#define IDD_WEP128_KEYS 109
#define IDD_PROGRESS 132
#define IDD_STARTUP_OPTIONS 136

/* Other resources */
#define IDS_ABOUTBOX 101              /* "&About Quarnel..." */
#define IDI_QUARNEL 128               /* application icon, 16 to 256 pixels */
#define IDM_ABOUTBOX 0x0010           /* system-menu command of the About entry */
#define IDM_VERIFY_AFTER_WRITE 0x0020 /* system-menu item "Verify after write" */

/* Main window (IDD_CONFIG); its settings' controls are in setting_controls.h */
#include "envrecord/setting_controls.h"
#define IDC_TARGET_SSID 1001
#define IDC_ADHOC_SSID 1002
#define IDC_MAC_TEXT 1018
#define IDC_TIMEOUT 1021
#define IDC_WATER_MARK 1022
#define IDC_LOCAL_PORT 1023
#define IDC_PEER_PORT 1024
#define IDC_RESERVED_IP 1025
#define IDC_WEP_KEY 1026
#define IDC_WLAN_CFG 1029
#define IDC_READ 1030
#define IDC_CHANGE_PWD 1031
#define IDC_START_OPTION 1032
#define IDC_WRITE 1033
#define IDC_EAP_ID 1035
#define IDC_EXIT 1036
#define IDC_PPPOE 1040
#define IDC_SECURE 1042
#define IDC_RESERVED_EDIT 1043
#define IDC_PEER_IP_LABEL 1044
#define IDC_WATER_MARK_LABEL 1045
#define IDC_TIMEOUT_LABEL 1046
#define IDC_COMMENT 1049
#define IDC_FIRMWARE_TEXT 1050
#define IDC_OPEN 1051
#define IDC_CLOSE 1052
#define IDC_SAVE_SETTINGS 1053
#define IDC_LOAD_SETTINGS 1054
#define IDC_INITIALIZE_ENV 1074

/* 64-bit WEP keys (IDD_WEP64_KEYS) */
#define IDC_WEP64_KEY0 1052
#define IDC_WEP64_KEY1 1053
#define IDC_WEP64_KEY2 1054
#define IDC_WEP64_KEY3 1055
#define IDC_WEP64_FORMAT0 1056
#define IDC_WEP64_FORMAT1 1057
#define IDC_WEP64_FORMAT2 1058
#define IDC_WEP64_FORMAT3 1059
#define IDC_WEP64_ID 1100

/* 128-bit WEP keys (IDD_WEP128_KEYS) */
#define IDC_WEP128_KEY0 1069
#define IDC_WEP128_KEY1 1070
#define IDC_WEP128_KEY2 1071
#define IDC_WEP128_KEY3 1072
#define IDC_WEP128_FORMAT0 1073
#define IDC_WEP128_FORMAT1 1074
#define IDC_WEP128_FORMAT2 1075
#define IDC_WEP128_FORMAT3 1076
#define IDC_WEP128_ID 1101

/* EAPoL identity (IDD_EAP_ID) */
#define IDC_EAP_USERNAME 1110
#define IDC_EAP_PASSWORD 1111
#define IDC_EAP_RETYPE 1112

/* Console password (IDD_CHANGE_PASSWORD) */
#define IDC_PASSWORD_NEW 1120
#define IDC_PASSWORD_RETYPE 1121
#define IDC_PASSWORD_DELETE 1122

/* Progress window (IDD_PROGRESS) */
#define IDC_PROGRESS_STATUS 1030
#define IDC_PROGRESS_BAR 1123

/* Start-up options (IDD_STARTUP_OPTIONS) */
#define IDC_STARTUP_ADHOC 1041
#define IDC_STARTUP_INFRA 1042
