/* Controls of every editing pane. Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_PANE_IDS_H
#define QZ_RESOURCES_PANE_IDS_H

#define IDC_PANE_TITLE 1055 /* the title box of the title and question panes */
#define IDC_PANE_COMMENT_LABEL 1057
#define IDC_PANE_COMMENT 1058

#endif
