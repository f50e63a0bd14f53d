/* Controls of the export dialog (630). Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_EXPORT_IDS_H
#define QZ_RESOURCES_EXPORT_IDS_H

#define IDC_EXPORT_FORMAT 1196
#define IDC_EXPORT_ENCODING 1197
#define IDC_EXPORT_WHOLE 1198
#define IDC_EXPORT_SELECTION 1199
#define IDC_EXPORT_PATH 1200
#define IDC_EXPORT_BROWSE 1201
#define IDC_EXPORT_MEDIA 1214

#endif
