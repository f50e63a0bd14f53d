#include "core/operations/clipboard.h"

#include <cstring>
#include <utility>

#include "core/document/data_file.h"
#include "core/syntax/scan.h"

namespace qz {

std::string selected_lines_text(const EditorModel& model) {
    std::string text;
    if (model.selected_count() == 0) return text;
    std::size_t size = 0;
    int index = 0;
    for (const DataLine& line : model.doc())
        if (model.is_selected(index++)) size += line.text().size() + 2;
    text.reserve(size);
    index = 0;
    for (const DataLine& line : model.doc()) {
        if (!model.is_selected(index++)) continue;
        text += line.text();
        text += "\r\n";
    }
    return text;
}

std::vector<DataLine> lines_from_text(std::string text, int version) {
    std::vector<DataLine> lines;
    // Clipboard text ends at its first NUL.
    if (std::size_t nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    if (text.empty()) return lines;
    normalize_line_breaks(text);
    // Every line, the last included, now ends with the line separator.
    const char* p = text.c_str();
    const char* const end = p + text.size();
    while (p < end) {
        lines.push_back(classify_data_line(p, version));
        p = static_cast<const char*>(std::memchr(p, kLineSeparator, static_cast<std::size_t>(end - p))) + 1;
    }
    return lines;
}

ChangeReport paste_text(EditorModel& model, std::string text) {
    const int position = model.current() >= 0 ? model.current() + 1 : 0;
    return model.insert_lines(position, lines_from_text(std::move(text), model.doc().version));
}

}  // namespace qz
