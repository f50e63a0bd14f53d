/* Controls of the title pane (its title box is IDC_PANE_TITLE, in pane_ids.h).
   Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_TITLE_PANE_IDS_H
#define QZ_RESOURCES_TITLE_PANE_IDS_H

#define IDC_TITLE_LABEL 1054
#define IDC_TITLE_CHOICES_LABEL 1024
#define IDC_TITLE_CHOICES 1025
#define IDC_TITLE_FIRST_FLAG 1026 /* the five flag boxes are 1026-1030 */

#endif
