/* Controls of the media check window (631). */
#ifndef QZ_RESOURCES_MEDIA_CHECK_IDS_H
#define QZ_RESOURCES_MEDIA_CHECK_IDS_H

#define IDC_MEDIA_LIST 1210
#define IDC_MEDIA_RECHECK 1211
#define IDC_MEDIA_STATUS 1212
#define IDC_MEDIA_RECYCLE 1213

#endif
