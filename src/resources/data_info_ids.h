/* Controls of the data information dialog (613). Included by the resource
   script and by C++. */
#ifndef QZ_RESOURCES_DATA_INFO_IDS_H
#define QZ_RESOURCES_DATA_INFO_IDS_H

#define IDC_INFO_FILE_NAME 1024
#define IDC_INFO_VERSION 1025
#define IDC_INFO_LINES 1026
#define IDC_INFO_TITLES 1027
#define IDC_INFO_QUESTIONS 1028
#define IDC_INFO_MODIFIED 1029
/* Group names 1030-1039, their question counts 1040-1049. */
#define IDC_INFO_GROUP_NAME_FIRST 1030
#define IDC_INFO_GROUP_COUNT_FIRST 1040

#endif
