/* Controls of the printing dialog. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_PRINTING_IDS_H
#define QZ_RESOURCES_PRINTING_IDS_H

/* The number of the page being printed. */
#define IDC_PRINTING_PAGE 1024

#endif
