/* Controls of the marks window (628). Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_MARKS_IDS_H
#define QZ_RESOURCES_MARKS_IDS_H

#define IDC_MARKS_CHART 1160
#define IDC_MARKS_NOTE 1161
#define IDC_MARKS_SHOWN 1162
#define IDC_MARKS_ALL 1163
#define IDC_MARKS_LIST 1164
#define IDC_MARKS_TOTALS 1165
#define IDC_MARKS_REFRESH 1166

#endif
