// What the data information dialog shows about the open document, and the
// rule for changing its format version.
#pragma once

#include <array>
#include <string>

#include "core/document/editor_model.h"

namespace qz {

struct DataInfo {
    // The full path, or "（新規）" for a document never saved.
    std::string file_name;
    int version = 14;
    // Lines of the file, the header line included.
    int lines = 1;
    int titles = 0;
    int questions = 0;
    std::array<std::string, 10> group_names;
    std::array<int, 10> group_questions{};
    bool modified = false;
};

DataInfo data_info(const EditorModel& model);

// Going from 1.4 to an earlier format turns every settings line into a
// comment, so the user is asked first.
constexpr bool version_change_needs_asking(int from, int to) {
    return from >= 14 && to < 14;
}

}  // namespace qz
