/* Controls of the message pane. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_MESSAGE_PANE_IDS_H
#define QZ_RESOURCES_MESSAGE_PANE_IDS_H

#define IDC_MESSAGE_LABEL 1024
#define IDC_MESSAGE 1025
#define IDC_MESSAGE_SEPARATOR 1026

#endif
