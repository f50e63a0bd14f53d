#include "core/operations/replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/data_file.h"

namespace qz {
namespace {

constexpr SearchConditions kIgnoreAll = SEARCH_IGNORE_CASE | SEARCH_IGNORE_WIDTH | SEARCH_IGNORE_KANA;
constexpr SearchConditions kAllFields = SEARCH_TITLE | SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT;

struct Editor {
    EditorModel model;
    const CardDocument& doc = model.doc();
    explicit Editor(const std::string& body, const char* version = "1.4") {
        CardDocument loaded;
        read_data_file(std::string("QUIZODATA V") + version + "\r\n" + body, loaded);
        model.replace(loaded, {});
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
};

Replacer make(const char* find, const char* replacement, SearchConditions conditions) {
    return *Replacer::make(find, replacement, conditions);
}

// One line, one replacement: the line composed again, "" when nothing
// matched, "refused" when the line was left alone.
std::string replaced(const char* line, const char* find, const char* replacement,
                     SearchConditions conditions, const char* version = "1.4") {
    Editor e(std::string(line) + "\r\n", version);
    const std::optional<LineReplacement> r =
        make(find, replacement, conditions).replace_in(*e.doc.line_at(0), e.doc.version);
    if (!r) return "";
    return r->refused ? "refused" : r->text;
}

TEST(Replace, FieldsAndComparison) {
    const struct {
        const char* line;
        const char* find;
        const char* replacement;
        SearchConditions conditions;
        const char* after;
    } cases[] = {
        // Each field alone.
        {"東京,東京,<00'東京", "東京", "大阪", SEARCH_QUESTION, "大阪,東京,<00'東京"},
        {"東京,東京,<00'東京", "東京", "大阪", SEARCH_ANSWER, "東京,大阪,<00'東京"},
        {"東京,東京,<00'東京", "東京", "大阪", SEARCH_COMMENT, "東京,東京,<00'大阪"},
        {"東京,東京,<00'東京", "東京", "大阪", kAllFields, "大阪,大阪,<00'大阪"},
        {"#東京,200000'東京", "東京", "大阪", SEARCH_TITLE, "#大阪,200000'東京"},
        {"#東京,200000", "東京", "大阪", SEARCH_QUESTION | SEARCH_ANSWER | SEARCH_COMMENT, ""},
        {"'東京", "東京", "大阪", kAllFields, ""},  // comment lines are not touched
        // History, group and answer number stay.
        {"a,b,N31'c", "b", "x", SEARCH_ANSWER, "a,x,N31'c"},
        // Every match in the field, from the left, without overlaps.
        {"aaaa,b,<00", "aa", "a", SEARCH_QUESTION, "aa,b,<00"},
        {"abab,b,<00", "ab", "abab", SEARCH_QUESTION, "abababab,b,<00"},
        // Comparison options: case, width, kana.
        {"Tokyo,b,<00", "tokyo", "Osaka", SEARCH_QUESTION | SEARCH_IGNORE_CASE, "Osaka,b,<00"},
        {"Tokyo,b,<00", "tokyo", "Osaka", SEARCH_QUESTION, ""},
        {"ＡＢＣ,b,<00", "ABC", "x", SEARCH_QUESTION | SEARCH_IGNORE_WIDTH, "x,b,<00"},
        {"ＡＢＣ,b,<00", "ABC", "x", SEARCH_QUESTION, ""},
        {"ｶﾞｲﾄﾞ,b,<00", "ガイド", "案内", SEARCH_QUESTION | SEARCH_IGNORE_WIDTH, "案内,b,<00"},
        {"ｶﾞ,b,<00", "ｶ", "x", SEARCH_QUESTION | SEARCH_IGNORE_WIDTH, ""},
        {"カタカナ,b,<00", "かたかな", "仮名", SEARCH_QUESTION | SEARCH_IGNORE_KANA, "仮名,b,<00"},
        {"カタカナ,b,<00", "かたかな", "仮名", SEARCH_QUESTION, ""},
        {"ｿﾌﾄ,b,<00", "ソフト", "x", SEARCH_QUESTION | kIgnoreAll, "x,b,<00"},
        // A trail byte equal to '\\' is no escape.
        {"ソース,b,<00", "ース", "ス", SEARCH_QUESTION, "ソス,b,<00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.find);
        EXPECT_EQ(replaced(c.line, c.find, c.replacement, c.conditions), c.after);
    }
}

TEST(Replace, ValuesNotSyntax) {
    const struct {
        const char* line;
        const char* find;
        const char* replacement;
        const char* version;
        const char* after;
    } cases[] = {
        // The found text is the shown one: "\," shows as ",".
        {"a\\,b,x,<00", "a,b", "c", "1.4", "c,x,<00"},
        {"a\\,b,x,<00", "\\,", "c", "1.4", ""},
        {"a\\\\b,x,<00", "a\\b", "c", "1.4", "c,x,<00"},
        // The replacement is literal and escaped as typed into the pane.
        {"a,x,<00", "a", "b,c", "1.4", "b\\,c,x,<00"},
        {"a,x,<00", "a", "$1", "1.4", "\\$1,x,<00"},
        {"a,x,<00", "a", "#t", "1.4", "\\#t,x,<00"},
        {"a,x,<00", "a", "'c", "1.4", "\\'c,x,<00"},
        {"a,x,<00", "a", "\\", "1.4", "\\\\,x,<00"},
        {"a,x,<00", "x", "[y|z]", "1.4", "a,[y|z],<00"},
        {"a,x,<00", "x", "\\[y", "1.4", "a,\\[y,<00"},
        {"a,x,<00'c", "c", "d,e'f", "1.4", "a,x,<00'd\\,e'f"},
        {"a,x,<00", "a", "1\r\n2", "1.4", "1\\n2,x,<00"},
        {"#t,100000", "t", "u,v", "1.4", "#u\\,v,100000"},
        // A protecting backslash goes when the question no longer needs it.
        {"\\#1,x,<00", "#", "No.", "1.4", "No.1,x,<00"},
        // Picture folders are replaced inside references.
        {"\\i\"old\\a.png\"q,x,<00", "old", "new", "1.4", "\\i\"new\\a.png\"q,x,<00"},
        // Format 1.3 drops every backslash on reading and doubles it on writing.
        {"a\\b,x,<00", "ab", "c", "1.3", "c,x,<00"},
        {"a,x,<00", "a", "\\", "1.3", "\\\\,x,<00"},
        // An answer whose brackets no longer pair up is refused.
        {"a,[x|y],<00", "]", "", "1.4", "refused"},
        {"a,(x),<00", "(", "[", "1.4", "refused"},
        // An answer that did not expand before may still not.
        {"a,[x,<00", "x", "y", "1.4", "a,[y,<00"},
        // Emptying both question and answer would make a comment line.
        {"a,a,<00", "a", "", "1.4", "refused"},
        {"a,b,<00", "a", "", "1.4", ",b,<00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.find);
        EXPECT_EQ(replaced(c.line, c.find, c.replacement, SEARCH_QUESTION | SEARCH_ANSWER |
                                                               SEARCH_COMMENT | SEARCH_TITLE,
                           c.version),
                  c.after);
    }
}

TEST(ReplaceAll, CountsScopeAndOneUndoStep) {
    const std::string body =
        "#猫の問題,000000\r\nねこ,猫,<00'ねこねこ\r\n'ねこ\r\n犬,いぬ,<00\r\nねこ,[ねこ]],<00\r\n";
    Editor e(body);
    const std::string before = e.texts();
    const Replacer r = make("ねこ", "ネコ", kAllFields);

    // Scope: the selected lines only.
    e.model.set_selection({3}, 3);
    ReplaceCounts none = replace_all(e.model, r, true);
    EXPECT_EQ(none.lines + none.matches + none.refused_lines, 0);
    EXPECT_FALSE(e.model.modified());
    EXPECT_FALSE(e.model.can_undo());
    EXPECT_EQ(replace_summary(none), "0 行で 0 箇所を置換しました。");

    e.model.set_selection({1, 3}, 1);
    ReplaceCounts some = replace_all(e.model, r, true);
    EXPECT_EQ(some.lines, 1);
    EXPECT_EQ(some.matches, 3);
    EXPECT_EQ(e.doc.line_at(1)->text(), "ネコ,猫,<00'ネコネコ");
    e.model.undo();
    EXPECT_EQ(e.texts(), before);

    // Every line; the comment line is left, the unbalanced answer refused
    // (its brackets do not pair up before either, but it did not expand).
    ReplaceCounts all = replace_all(e.model, r, false);
    EXPECT_EQ(all.lines, 2);
    EXPECT_EQ(all.matches, 5);
    EXPECT_EQ(all.refused_lines, 0);
    EXPECT_TRUE(e.model.modified());
    EXPECT_EQ(e.model.history().size(), 1u);
    EXPECT_EQ(replace_summary(all), "2 行で 5 箇所を置換しました。");
    e.model.undo();
    EXPECT_EQ(e.texts(), before);
    EXPECT_FALSE(e.model.modified());

    const ReplaceCounts refused = replace_all(e.model, make("猫", "]", kAllFields), false);
    EXPECT_EQ(refused.lines, 1);  // the title
    EXPECT_EQ(refused.refused_lines, 1);
    EXPECT_EQ(refused.refused_matches, 1);
    EXPECT_EQ(replace_summary(refused),
              "1 行で 1 箇所を置換しました。\n1 行（1 箇所）は書式が崩れるため置換しませんでした。");
}

TEST(ReplaceLine, AndFindingTheNextLine) {
    Editor e("a,x,<00\r\nb,b,<00\r\nc,x,<00\r\n'x\r\nx,d,<00\r\n");
    const Replacer r = make("x", "y", kAllFields);
    EXPECT_EQ(find_replaceable_line(e.model, r, false, -1, 1), 0);
    EXPECT_EQ(find_replaceable_line(e.model, r, false, 0, 1), 2);
    EXPECT_EQ(find_replaceable_line(e.model, r, false, 2, 1), 4);  // not the comment line
    EXPECT_EQ(find_replaceable_line(e.model, r, false, 4, 1), -1);
    EXPECT_EQ(find_replaceable_line(e.model, r, false, 4, -1), 2);
    EXPECT_EQ(find_replaceable_line(e.model, r, false, 0, -1), -1);
    e.model.set_selection({0, 4}, 0);
    EXPECT_EQ(find_replaceable_line(e.model, r, true, 0, 1), 4);

    const ReplaceCounts one = replace_line(e.model, r, 2);
    EXPECT_EQ(one.lines, 1);
    EXPECT_EQ(e.texts(), "a,x,<00|b,b,<00|c,y,<00|'x|x,d,<00|");
    EXPECT_EQ(replace_line(e.model, r, 1).lines, 0);
    e.model.undo();
    EXPECT_EQ(e.doc.line_at(2)->text(), "c,x,<00");
}

}  // namespace
}  // namespace qz
