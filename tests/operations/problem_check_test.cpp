#include "core/operations/problem_check.h"
#include "core/operations/data_info.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/document/data_file.h"
#include "core/document/editor_model.h"

namespace qz {
namespace {

using K = ProblemKind;
using Found = std::vector<std::pair<int, K>>;  // file line number, kind

std::string file_of(const std::vector<const char*>& lines) {
    std::string bytes = "QUIZODATA V1.4\r\n";
    for (const char* l : lines) bytes += std::string(l) + "\r\n";
    return bytes;
}

// Pictures by their file name: only ok.png would show.
PictureProbeResult fake_probe(const std::string& path) {
    if (path.ends_with("gone.png")) return {PictureState::missing, {}, 0, 0};
    if (path.ends_with(".gif")) return {PictureState::not_a_picture, {}, 0, 0};
    if (path.ends_with("bad.bmp")) return {PictureState::unreadable, "壊れています。", 0, 0};
    return {};
}
const PictureCheck kPictures{"C:\\quiz\\a.qzf", fake_probe};

Found found_in(const CardDocument& doc, const std::vector<RewriteNote>& notes = {}) {
    Found found;
    for (const Problem& p : check_problems(doc, notes, kPictures)) {
        EXPECT_EQ(doc.find_line(p.line_id), p.index);
        found.emplace_back(CardDocument::file_line_number(p.index), p.kind);
    }
    return found;
}

// Each case puts a line that has the problem beside a near miss that has not.
TEST(ProblemCheck, FindsEachKindAndNotItsNearMiss) {
    const struct {
        const char* name;
        std::vector<const char*> lines;  // from file line 2
        Found expected;
    } cases[] = {
        {"syntax", {"#t,000000", "q1,[a|b,<00", "q2,\\[a,<00"}, {{3, K::answer_syntax}}},
        {"empty", {"#t,000000", ",a,<00", "q,,<00", "q2,a,<00"},
         {{3, K::empty_question}, {4, K::empty_answer}}},
        {"number at the last alternative, and one past",
         {"#t,200000", "q1,[a|b],<01", "q2,[a|b],<02"}, {{4, K::answer_number_range}}},
        {"answer number under a written-answer title", {"#t,000000", "q1,[a|b],<01", "q2,[a|b],<02"},
         {{4, K::answer_number_range}}},
        {"more choices asked than the answer offers", {"#t,300000", "q1,(a)b,<00"}, {}},
        {"group names line", {"$Group=全般,歴史", "#t,000000", "q1,a,<10", "q2,a,<20"},
         {{5, K::unnamed_group}}},
        {"no group names line", {"#t,000000", "q1,a,<90"}, {}},
        {"kana ignored, widths not", {"#t,001000", "かな,a,<00", "カナ,b,<00", "ｶﾅ,c,<00"},
         {{3, K::duplicate_question}, {4, K::duplicate_question}}},
        {"widths ignored", {"#t,000100", "ＡＢ,a,<00", "AB,b,<00", "ＡＢＣ,c,<00"},
         {{3, K::duplicate_question}, {4, K::duplicate_question}}},
        {"case ignored", {"#t,010000", "abc,a,<00", "ABC,b,<00"},
         {{3, K::duplicate_question}, {4, K::duplicate_question}}},
        {"symbols ignored", {"#t,000010", "東京？,a,<00", "東　京,b,<00", "東京都,c,<00"},
         {{3, K::duplicate_question}, {4, K::duplicate_question}}},
        {"under another title", {"#t,000000", "q,a,<00", "#u,000000", "q,b,<00"}, {}},
        {"pictures in questions and answers, not in comments",
         {"#t,000000", "q\\i\"ok.png\",a,<00", "q2\\i\"gone.png\",a\\i\"x.gif\",<00",
          "q3,\\i\"bad.bmp\",<00", "'\\i\"gone.png\""},
         {{4, K::picture}, {4, K::picture}, {5, K::picture}}},
    };
    for (const auto& c : cases) {
        CardDocument doc;
        ASSERT_EQ(read_data_file(file_of(c.lines), doc).status, LoadStatus::ok);
        EXPECT_EQ(found_in(doc), c.expected) << c.name;
    }
}

TEST(ProblemCheck, DuplicatesNameTheirGroup) {
    CardDocument doc;
    read_data_file(file_of({"#t,000000", "q,a,<00", "x,b,<00", "q,c,<00"}), doc);
    const std::vector<Problem> problems = check_problems(doc);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(std::string(problems[0].what()), "行 3, 5 が同じ問題です");
    EXPECT_STREQ(problems[1].what(), problems[0].what());
}

TEST(ProblemCheck, PicturesNameTheReferenceAndWhatIsWrong) {
    CardDocument doc;
    read_data_file(file_of({"q\\i\"img\\gone.png\"\\i\"x.gif\",\\i\"\\\\srv\\bad.bmp\",<00"}), doc);
    std::vector<std::string> probed, details;
    const PictureCheck pictures{kPictures.base, [&](const std::string& path) {
                                    probed.push_back(path);
                                    return fake_probe(path);
                                }};
    for (const Problem& p : check_problems(doc, {}, pictures)) details.push_back(p.what());
    EXPECT_EQ(probed, (std::vector<std::string>{"C:\\quiz\\img\\gone.png", "C:\\quiz\\x.gif",
                                                "\\\\srv\\bad.bmp"}));
    EXPECT_EQ(details, (std::vector<std::string>{
                           "画像 \"img\\gone.png\" が見つかりません",
                           "画像 \"x.gif\" は BMP でも PNG でもありません",
                           "画像 \"\\\\srv\\bad.bmp\" を読めません: 壊れています。"}));
}

TEST(ProblemCheck, RewrittenLinesCountWhileTheyKeepTheirText) {
    const std::string bytes = file_of({"#bad title", "#t,000000", "no commas", "q,a,<00"});
    CardDocument doc;
    const std::vector<RewriteNote> notes = rewrite_notes(read_data_file(bytes, doc).rewritten, doc);
    EXPECT_EQ(found_in(doc, notes),
              (Found{{2, K::rewritten_line}, {4, K::rewritten_line}}));
    doc.set_text(doc.line_at(0), "'fixed by hand");
    doc.erase(1);
    EXPECT_EQ(found_in(doc, notes), (Found{{3, K::rewritten_line}}));
}

// A row names its line by id: a line put where a deleted one was is not it,
// and undoing the delete brings the line itself back.
TEST(ProblemCheck, ARowLeadsToItsOwnLineOnlyThroughDeletesInsertsAndUndo) {
    CardDocument loaded;
    ASSERT_EQ(read_data_file(file_of({"#t,000000", "q1,a,<00", ",empty,<00", "q3,a,<00"}), loaded).status,
              LoadStatus::ok);
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    const std::vector<Problem> problems = check_problems(doc);
    ASSERT_EQ(problems.size(), 1u);
    const std::uint32_t id = problems[0].line_id;
    EXPECT_EQ(find_line_by_id(doc, id), 2);
    model.set_selection({2}, 2);
    model.delete_selected();
    model.insert_lines(2, {DataLine(LINE_TEXT, "new,x,<00")});
    ASSERT_EQ(doc.line_at(2)->text(), "new,x,<00");  // where the deleted line was
    EXPECT_NE(doc.line_id_at(2), id);
    EXPECT_EQ(find_line_by_id(doc, id), -1);
    model.undo();
    model.undo();
    EXPECT_EQ(find_line_by_id(doc, id), 2);
    EXPECT_EQ(doc.line_at(2)->text(), ",empty,<00");
}

// The data information: the other report on the whole document.
TEST(DataInfo, CountsLinesTitlesQuestionsAndNamesTheGroups) {
    CardDocument loaded;
    loaded.append(DataLine(LINE_TEXT, ""));
    EditorModel model(loaded);
    const CardDocument& doc = model.doc();
    DataInfo info = data_info(model);
    EXPECT_EQ(info.file_name, "（新規）");
    EXPECT_EQ(info.version, 14);
    EXPECT_EQ(info.lines, 2);  // the header line counts
    EXPECT_FALSE(info.modified);
    EXPECT_EQ(info.group_names, (std::array<std::string, 10>{"全般", "１", "２", "３", "４", "５", "６",
                                                             "７", "８", "９"}));

    loaded.file_name = "C:\\データ\\q.qzf";
    for (auto [kind, text] : {std::pair{LINE_TITLE, "#t,000000"}, {LINE_TEXT, "q,a,<00"},
                              {LINE_GROUP, "$Group=歴史,地理"}, {LINE_TEXT, "'c"}, {LINE_TEXT, "q,a,<00"}})
        loaded.append(DataLine(kind, text));
    model.replace(loaded, {});
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
