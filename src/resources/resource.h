/* Resource and command identifiers. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_RESOURCE_H
#define QZ_RESOURCES_RESOURCE_H

#define IDI_APP 1
// The toolbar's pictures at 100 %, 150 % and 200 %.
#define IDB_TOOLBAR_16 2
#define IDB_TOOLBAR_24 3
#define IDB_TOOLBAR_32 4
#define IDC_HAND_CURSOR 555

#define IDR_MAIN_MENU 560
#define IDR_CONTEXT_MENU 561
#define IDR_ACCELERATORS 580

/* Editing panes */
#define IDD_PANE_TITLE 601
#define IDD_PANE_QUESTION 602
#define IDD_PANE_FONT 603
#define IDD_PANE_GROUP 604
#define IDD_PANE_MESSAGE 605
#define IDD_PANE_TIME_LIMIT 606

/* Dialogs */
#define IDD_PAGE_SETUP 610
#define IDD_PRINTING 612
#define IDD_DATA_INFO 613
#define IDD_FIND 614
#define IDD_SEARCH_CONDITIONS 615
#define IDD_SORT 616
#define IDD_GROUP_CHANGE 617
#define IDD_SELECT 618
#define IDD_CUSTOMIZE_FONTS 619
#define IDD_CUSTOMIZE_IME 620
#define IDD_ABOUT 621
#define IDD_PROBLEM_CHECK 622
#define IDD_REPLACE 624
#define IDD_CHOICE 625
#define IDD_CUSTOMIZE_RECOVERY 626
#define IDD_RESET_HISTORY 627
#define IDD_MARKS 628
#define IDD_IMPORT 629
#define IDD_EXPORT 630
#define IDD_MEDIA_CHECK 631

/* Commands */
#define CMD_NEW 61
#define CMD_OPEN 62
#define CMD_SAVE 63
#define CMD_SAVE_AS 64
#define CMD_DATA_INFO 65
#define CMD_PAGE_SETUP 67
#define CMD_PRINT 68
#define CMD_PRINT_PREVIEW 120
#define CMD_EXIT 69
#define CMD_UNDO 70
#define CMD_REDO 75
#define CMD_CUT 71
#define CMD_COPY 72
#define CMD_PASTE 73
#define CMD_DELETE 74
#define CMD_SELECT_ALL 76
#define CMD_FIND 77
#define CMD_FIND_NEXT 78
#define CMD_FIND_PREVIOUS 79
#define CMD_REPLACE 121
#define CMD_RESET_HISTORY 122
#define CMD_MARKS 123
#define CMD_IMPORT 124
#define CMD_EXPORT 125
#define CMD_SORT 81
#define CMD_INSERT_IMAGE 82
#define CMD_GROUP_CHANGE 83
#define CMD_ADD_QUESTION 85
#define CMD_ADD_TITLE 86
#define CMD_INSERT_TITLE 90
#define CMD_INSERT_QUESTION 91
#define CMD_INSERT_GROUP 93
#define CMD_INSERT_MESSAGE 94
#define CMD_INSERT_FONT_TITLE 95
#define CMD_INSERT_FONT_QUESTION 96
#define CMD_INSERT_FONT_ANSWER 97
#define CMD_INSERT_FONT_GROUP 98
#define CMD_INSERT_FONT_COMMENT 99
#define CMD_SELECT 100
#define CMD_INVERT_SELECTION 101
#define CMD_MOVE_UP 102
#define CMD_MOVE_DOWN 103
#define CMD_SWAP_QUESTION_ANSWER 104
#define CMD_TOGGLE_TOOLBAR 106
#define CMD_TOGGLE_STATUS_BAR 107
#define CMD_CUSTOMIZE 109
#define CMD_HELP_CONTENTS 110
#define CMD_HELP_INDEX 111
#define CMD_ABOUT 112
#define CMD_CLEAR_RECENT 113
#define CMD_RECENT_FIRST 114
#define CMD_RECENT_LAST 118
#define CMD_PROBLEM_CHECK 119
#define CMD_MEDIA_CHECK 126

/* Child windows of the main window */
#define IDC_LINE_LIST 1050
#define IDC_MAIN_SEPARATOR 1051
#define IDC_TOOLBAR 1052
#define IDC_STATUS_BAR 1053

/* Dialog controls shared by several dialogs */
#define IDC_HELP_BUTTON 1059

/* String table entries other than the tooltips (which use the command numbers) */
#define IDS_F1_HINT 200

#endif
