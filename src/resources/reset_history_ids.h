/* Controls of the history reset dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_RESET_HISTORY_IDS_H
#define QZ_RESOURCES_RESET_HISTORY_IDS_H

#define IDC_RESET_RIGHT 1150
#define IDC_RESET_WRONG 1151

#endif
