// The kind labels of the line list: what each data line is, with the
// 1-based title or question number where it has one.
#pragma once

#include <string>

#include "core/document/card_document.h"

namespace qz {

// "タイトル%d" for a title line, "設定" for a settings line, "空行" for a
// blank line, "コメント" for a comment line, "問題%d" for a question line and
// "不明" for any other kind; "" when there is no line at `index`.
std::string line_label(const CardDocument& doc, int index);

}  // namespace qz
