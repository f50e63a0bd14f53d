/* Controls of the problem check window (622). */
#ifndef QZ_RESOURCES_PROBLEM_CHECK_IDS_H
#define QZ_RESOURCES_PROBLEM_CHECK_IDS_H

#define IDC_PROBLEM_LIST 1024
#define IDC_PROBLEM_RECHECK 1025
#define IDC_PROBLEM_STATUS 1026

#endif
