#pragma once

// Templates and control ids of the framework's test dialogs (test_dialogs.rc).

#define IDD_FIELDS 200
#define IDD_SUB 201
#define IDD_MODELESS 202

#define IDC_INT_A 300
#define IDC_TEXT_A 301
#define IDC_INT_B 302
#define IDC_LIMITED 303
#define IDC_CHECK 304
#define IDC_COMBO 305
#define IDC_IP 306
#define IDC_PROGRESS 307
#define IDC_ACTION 308
#define IDC_LABEL 309

#define IDC_SUB_EDIT 320

#define IDC_FIRST_EDIT 330
#define IDC_SECOND_EDIT 331
#define IDC_MODELESS_BUTTON 332
