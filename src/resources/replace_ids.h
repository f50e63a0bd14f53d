/* Controls of the replace dialog. Included by the resource script and by C++.
   Its comparison and field boxes are those of the search conditions
   dialog (search_conditions_ids.h), so both are read the same way. */
#ifndef QZ_RESOURCES_REPLACE_IDS_H
#define QZ_RESOURCES_REPLACE_IDS_H

#include "search_conditions_ids.h"

#define IDC_REPLACE_FIND 1130
#define IDC_REPLACE_WITH 1131
#define IDC_REPLACE_SELECTED 1132
#define IDC_REPLACE_EVERY_LINE 1133
#define IDC_REPLACE_NEXT 1134
#define IDC_REPLACE_ONE 1135
#define IDC_REPLACE_ALL 1136
#define IDC_REPLACE_STATUS 1137

#endif
