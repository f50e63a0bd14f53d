/* Controls of the group names pane. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_GROUP_PANE_IDS_H
#define QZ_RESOURCES_GROUP_PANE_IDS_H

#define IDC_GROUP_FIRST_LABEL 1024 /* labels 1024-1033 */
#define IDC_GROUP_FIRST_NAME 1034 /* name fields 1034-1043 */

#endif
