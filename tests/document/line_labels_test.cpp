#include "document/line_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qz {
namespace {

struct Row {
    int kind;
    const char* text;
    const char* label;
};

void fill(CardDocument& doc, const std::vector<Row>& rows) {
    doc.clear();
    for (const Row& row : rows)
        doc.append(DataLine(row.kind, row.text));
}

TEST(LineLabel, EveryKind) {
    const std::vector<Row> rows = {
        {LINE_TEXT, "q0,a,<00", "問題1"},  // a question before any title
        {LINE_TITLE, "#T1,000000", "タイトル1"},
        {LINE_TEXT, "'comment", "コメント"},
        {LINE_TEXT, "", "空行"},
        {LINE_TEXT, "q1,a,<00", "問題2"},
        {LINE_GROUP, "$Group=a", "設定"},
        {LINE_TIME_LIMIT, "$TimeLimit=3", "設定"},
        {LINE_MESSAGE, "$Message=x", "設定"},
        {LINE_FONT_COMMENT, "$FontComment=9", "設定"},
        {LINE_SETTINGS, "$", "設定"},  // any kind with the settings bit
        {LINE_TITLE, "#T2,000000", "タイトル2"},
        {LINE_UNKNOWN, "x", "不明"},
        {LINE_UNKNOWN, "", "不明"},
        {7, "q,a,<00", "不明"},
        {LINE_TEXT, "'", "コメント"},
        {LINE_TEXT, "not checked here", "問題3"},  // labels follow the kind and first byte
        {LINE_TITLE, "#T3,000000", "タイトル3"},
    };
    CardDocument doc;
    fill(doc, rows);
    for (int i = 0; i < doc.count(); ++i)
        EXPECT_EQ(line_label(doc, i), rows[i].label) << i;
}

TEST(LineLabel, CodePage932Bytes) {
    CardDocument doc;
    fill(doc, {{LINE_TEXT, "", ""}, {LINE_TITLE, "#t,000000", ""}});
    EXPECT_EQ(line_label(doc, 0), "\x8B\xF3\x8D\x73");                      // 空行
    EXPECT_EQ(line_label(doc, 1), "\x83\x5E\x83\x43\x83\x67\x83\x8B\x31");  // タイトル1
}

TEST(LineLabel, NoLine) {
    CardDocument doc;
    EXPECT_EQ(line_label(doc, 0), "");
    fill(doc, {{LINE_TEXT, "", ""}});
    EXPECT_EQ(line_label(doc, -1), "");
    EXPECT_EQ(line_label(doc, 1), "");
}

TEST(LineLabel, NumbersFollowEdits) {
    CardDocument doc;
    fill(doc,
         {{LINE_TITLE, "#a,000000", ""}, {LINE_TEXT, "q,a,<00", ""}, {LINE_TEXT, "r,a,<00", ""}});
    EXPECT_EQ(line_label(doc, 2), "問題2");
    doc.insert(0, DataLine(LINE_TITLE, "#new,000000"));
    EXPECT_EQ(line_label(doc, 0), "タイトル1");
    EXPECT_EQ(line_label(doc, 1), "タイトル2");
    EXPECT_EQ(line_label(doc, 3), "問題2");
    // A question that becomes a comment gives up its number.
    doc.set_text(doc.line_at(2), "'q,a,<00");
    EXPECT_EQ(line_label(doc, 2), "コメント");
    EXPECT_EQ(line_label(doc, 3), "問題1");
}

}  // namespace
}  // namespace qz
