/* Controls of the print preview window (623). */
#ifndef QZ_RESOURCES_PRINT_PREVIEW_IDS_H
#define QZ_RESOURCES_PRINT_PREVIEW_IDS_H

#define IDD_PRINT_PREVIEW 623

#define IDC_PREVIEW_PREVIOUS 1024
#define IDC_PREVIEW_NEXT 1025
#define IDC_PREVIEW_FIT 1026
#define IDC_PREVIEW_ACTUAL_SIZE 1027
#define IDC_PREVIEW_PRINT 1028
#define IDC_PREVIEW_PAGE_NUMBER 1029
#define IDC_PREVIEW_PAGE 1030

/* The window class of the page view. */
#define PREVIEW_PAGE_CLASS "QuizoEditPreviewPage"

#endif
