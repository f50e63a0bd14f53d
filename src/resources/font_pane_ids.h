/* Controls of the font pane. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_FONT_PANE_IDS_H
#define QZ_RESOURCES_FONT_PANE_IDS_H

#define IDC_FONT_SIZE_LABEL 1024
#define IDC_FONT_SIZE 1025
#define IDC_FONT_CHARSET_LABEL 1027
#define IDC_FONT_CHARSET 1028
#define IDC_FONT_FACE_LABEL 1029
#define IDC_FONT_FACE 1030
#define IDC_FONT_CHANGE 1031

#endif
