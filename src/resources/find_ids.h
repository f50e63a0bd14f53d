/* Controls of the find dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_FIND_IDS_H
#define QZ_RESOURCES_FIND_IDS_H

#define IDC_FIND_TEXT 1024
#define IDC_FIND_PREVIOUS 1025
#define IDC_FIND_NEXT 1026
#define IDC_FIND_CONDITIONS 1027

#endif
