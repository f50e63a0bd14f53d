#include "core/document/line_labels.h"

#include <string>

namespace qz {

std::string line_label(const CardDocument& doc, int index) {
    const DataLine* line = doc.line_at(index);
    if (!line) return std::string();
    if (line->kind() == LINE_TITLE) return "タイトル" + std::to_string(doc.titles_through(index));
    if (is_settings_kind(line->kind())) return "設定";
    if (line->kind() != LINE_TEXT) return "不明";
    if (!line->has_text()) return "空行";
    if (line->text()[0] == '\'') return "コメント";
    return "問題" + std::to_string(doc.questions_through(index));
}

}  // namespace qz
