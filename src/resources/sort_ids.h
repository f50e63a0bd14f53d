/* Controls of the sort dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_SORT_IDS_H
#define QZ_RESOURCES_SORT_IDS_H

#define IDC_SORT_KEY 1024
#define IDC_SORT_ORDER 1025

#endif
