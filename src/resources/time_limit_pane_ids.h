/* Controls of the time limit pane. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_TIME_LIMIT_PANE_IDS_H
#define QZ_RESOURCES_TIME_LIMIT_PANE_IDS_H

#define IDC_TIME_LIMIT_LABEL 1024
#define IDC_TIME_LIMIT 1025
#define IDC_TIME_LIMIT_UNIT 1026

#endif
