// Resource ids of setup, shared by the resource scripts and the code.
#pragma once

#define IDI_SETUP 300

#define IDD_WELCOME        102
#define IDD_DESTINATION    103
#define IDD_LICENSE        104
#define IDD_PROGRAM_FOLDER 105
#define IDD_CONFIRM        106
#define IDD_COPY_PROGRESS  107
#define IDD_EXIT_SETUP     108
#define IDD_FINISH         109

// Copy progress dialog items.
#define IDC_COPY_SOURCE   1024
#define IDC_COPY_TARGET   1025
#define IDC_COPY_PROGRESS 1006
// Exit confirmation items.
#define IDC_EXIT_TEXT        1008
#define IDC_EXIT_RESUME_TEXT 1009
#define IDC_EXIT_RESUME      2

// String table.
#define IDS_BACK                    1020
#define IDS_NEXT_BUTTON             1021
#define IDS_EXIT_SETUP              1022
#define IDS_WIZARD_FAILED           1023
#define IDS_ERROR_ACCESSING_FILE    1024
#define IDS_ERROR_ACCESSING_LICENSE 1025
#define IDS_INSTALLING              1026
#define IDS_CHOOSE_DIRECTORY        1027
#define IDS_CREATE_DIRECTORY        1028
#define IDS_NOT_ENOUGH_SPACE        1029
#define IDS_NEXT                    1030
#define IDS_FINISH                  1031
#define IDS_TARGET_DIRECTORY        1032
#define IDS_PERSONAL_FOLDERS        1033
#define IDS_COMMON_FOLDERS          1034
#define IDS_SUMMARY_DESKTOP         1035
#define IDS_SUMMARY_START_MENU      1036
#define IDS_SUMMARY_GROUP           1037
#define IDS_INVALID_DESTINATION     1038
#define IDS_NOT_INSTALLED           1039

// Commands posted to the main window.
#define CMD_START_WIZARD 100
#define CMD_CLOSE_WIZARD 101
#define CMD_INSTALL      102
