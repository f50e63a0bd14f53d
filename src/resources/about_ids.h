/* Controls of the version dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_ABOUT_IDS_H
#define QZ_RESOURCES_ABOUT_IDS_H

#define IDC_ABOUT_NAME 1054
#define IDC_ABOUT_VERSION 1024
#define IDC_ABOUT_DESCRIPTION 1025
#define IDC_ABOUT_LINK 1026

#endif
