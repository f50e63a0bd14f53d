#include "core/operations/data_info.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>

namespace qz {
namespace {

TEST(DataInfo, CountsLinesTitlesQuestionsAndNamesTheGroups) {
    CardDocument doc;
    doc.append(DataLine(LINE_TEXT, ""));
    EditorModel model(doc);
    model.reset();
    DataInfo info = data_info(model);
    EXPECT_EQ(info.file_name, "（新規）");
    EXPECT_EQ(info.version, 14);
    EXPECT_EQ(info.lines, 2);  // the header line counts
    EXPECT_FALSE(info.modified);
    EXPECT_EQ(info.group_names, (std::array<std::string, 10>{"全般", "１", "２", "３", "４", "５", "６",
                                                             "７", "８", "９"}));

    doc.clear();
    doc.file_name = "C:\\データ\\q.qzf";
    for (auto [kind, text] : {std::pair{LINE_TITLE, "#t,000000"}, {LINE_TEXT, "q,a,<00"},
                              {LINE_GROUP, "$Group=歴史,地理"}, {LINE_TEXT, "'c"}, {LINE_TEXT, "q,a,<00"}})
        doc.append(DataLine(kind, text));
    model.reset();
    model.change_version(14);  // OK without a change still marks the document modified
    info = data_info(model);
    EXPECT_EQ(info.file_name, doc.file_name);
    EXPECT_EQ(std::tuple(info.lines, info.titles, info.questions, info.group_questions[0]),
              std::tuple(6, 1, 2, 2));
    EXPECT_TRUE(info.modified);
    EXPECT_EQ(info.group_names[1], "地理");
    EXPECT_EQ(info.group_names[2], "２");
}

}  // namespace
}  // namespace qz
