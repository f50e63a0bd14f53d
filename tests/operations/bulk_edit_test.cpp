#include "core/operations/bulk_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/data_file.h"
#include "core/operations/clipboard.h"

namespace qz {
namespace {

// A document read from `body`, these lines selected, `current` current.
struct Editor {
    CardDocument doc;
    EditorModel model{doc};
    Editor(const std::string& body, const std::vector<int>& selected, int current = -1,
           const char* version = "1.4") {
        read_data_file(std::string("QUIZODATA V") + version + "\r\n" + body, doc);
        model.reset();
        model.set_selection(selected, selected.empty() ? -1 : selected.front());
        doc.current = current;
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc) joined += std::string(line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
};

TEST(Clipboard, CopyAndPaste) {
    Editor copy("#t,000000\r\n\r\nq,a,<00\r\n'c\r\n", {0, 1, 2});
    EXPECT_EQ(selected_lines_text(copy.model), "#t,000000\r\n\r\nq,a,<00\r\n");

    const struct { const char* version; int current; std::string text, after; } cases[] = {
        {"1.4", 0, "x,1,<00\r\ny,2,<00\r\n", "a,1,<00|x,1,<00|y,2,<00|b,2,<00|"},
        {"1.4", -1, "x,1,<00\ny,2,<00\n", "x,1,<00|y,2,<00|a,1,<00|b,2,<00|"},
        {"1.4", 1, "x,1,<00\ry,2,<00\r", "a,1,<00|b,2,<00|x,1,<00|y,2,<00|"},
        {"1.4", 1, "\r\nx,1,<00", "a,1,<00|b,2,<00|_|x,1,<00|"},  // unterminated last line
        {"1.3", 1, "$Message=m\r\n", "a,1,<00|b,2,<00|'$Message=m|"},
        {"1.4", 1, "", "a,1,<00|b,2,<00|"},
        {"1.4", 1, std::string("x,1,<00\0y", 9), "a,1,<00|b,2,<00|x,1,<00|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Editor e("a,1,<00\r\nb,2,<00\r\n", {}, c.current, c.version);
        paste_text(e.model, c.text);
        EXPECT_EQ(e.texts(), c.after);
        EXPECT_EQ(e.model.history().position(), c.text.empty() ? 0u : 1u);
    }
}

TEST(BulkEdit, ReversedQuestionReadsBackAsAQuestion) {
    const char* const cases[][2] = {
        {"Q,A,?20'c", "A,Q,<00"}, {"Q,#A,<00", "\\#A,Q,<00"}, {"Q,'A,<00", "\\'A,Q,<00"},
        {"\\#Q,A,<00", "A,#Q,<00"}, {"f(x) [a|b],y,<00", "y,f\\(x\\) \\[a\\|b\\],<00"},
        {"Q,\\(x\\) [A|B],<00", "(x) [A|B],Q,<00"},
        {"\\i\"a(1).png\"表(,A,<00", "A,\\i\"a(1).png\"表\\(,<00"}, {"no answer", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        const std::string reversed = reversed_question(c[0]);
        EXPECT_EQ(reversed, c[1]);
        const DataLine line = classify_data_line(reversed.c_str(), 14);
        EXPECT_EQ(line.text(), reversed);
        EXPECT_EQ(is_question(&line), !reversed.empty());
    }
}

TEST(BulkEdit, SwapAndGroupChangeOfTheSelectedQuestions) {
    Editor e("#t,000000\r\nQ,A,?20'c\r\n'c\r\nQ\\,x,B,<55\r\n", {0, 1, 2, 3});
    EXPECT_EQ(swap_selected_questions(e.model), 2);
    EXPECT_EQ(e.texts(), "#t,000000|Q,A,?20'c|'c|Q\\,x,B,<55|A,Q,<00|B,Q\\,x,<00|");
    e.model.undo();
    e.model.set_selection({0, 1, 2, 3}, 0);  // (undo selected where the copies were)
    EXPECT_EQ(change_selected_groups(e.model, 3), 2);
    EXPECT_EQ(e.texts(), "#t,000000|Q,A,?30'c|'c|Q\\,x,B,<35|");
    e.model.undo();
    EXPECT_FALSE(e.model.modified());

    // Nothing to change: no step, not modified.
    e.model.set_selection({0, 2}, 0);
    EXPECT_EQ(swap_selected_questions(e.model), 0);
    EXPECT_EQ(change_selected_groups(e.model, 3), 0);
    EXPECT_FALSE(e.model.modified());
    EXPECT_EQ(e.model.history().position(), 0u);
}

}  // namespace
}  // namespace qz
