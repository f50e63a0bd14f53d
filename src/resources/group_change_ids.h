/* Controls of the group change dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_GROUP_CHANGE_IDS_H
#define QZ_RESOURCES_GROUP_CHANGE_IDS_H

#define IDC_GROUP_CHANGE_GROUP 1056

#endif
