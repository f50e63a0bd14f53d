/* Controls of the marks window (628). Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_STATISTICS_IDS_H
#define QZ_RESOURCES_STATISTICS_IDS_H

#define IDC_STATS_CHART 1160
#define IDC_STATS_NOTE 1161
#define IDC_STATS_SHOWN 1162
#define IDC_STATS_ALL 1163
#define IDC_STATS_LIST 1164
#define IDC_STATS_TOTALS 1165
#define IDC_STATS_REFRESH 1166

#endif
