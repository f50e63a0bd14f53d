#include "core/operations/data_info.h"

#include "core/document/line_queries.h"
#include "core/syntax/fields.h"
#include "core/syntax/settings_line.h"

namespace qz {

DataInfo data_info(const EditorModel& model) {
    const CardDocument& doc = model.doc();
    DataInfo info;
    info.file_name = doc.file_name == UNTITLED_NAME ? "（新規）" : doc.file_name;
    info.version = doc.version;
    info.lines = doc.count() + 1;
    info.titles = doc.count_titles();
    info.questions = doc.count_questions();
    for (int g = 0; g < 10; ++g)
        info.group_names[g] = group_name(doc, g);
    count_questions_by_group(doc, info.group_questions.data());
    info.modified = model.modified();
    return info;
}

}  // namespace qz
