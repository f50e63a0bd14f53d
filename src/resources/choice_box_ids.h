/* Controls of the choice box: a question with two answers and Cancel.
   Included by the resource script and by C++. */
#ifndef QZ_RESOURCES_CHOICE_BOX_IDS_H
#define QZ_RESOURCES_CHOICE_BOX_IDS_H

#define IDC_CHOICE_ICON 1140
#define IDC_CHOICE_TEXT 1141
#define IDC_CHOICE_FIRST 1142
#define IDC_CHOICE_SECOND 1143

#endif
