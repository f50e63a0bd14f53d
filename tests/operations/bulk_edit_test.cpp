#include "operations/bulk_edit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/data_file.h"
#include "operations/clipboard.h"

namespace qz {
namespace {

// A document read from `body`, with these lines selected and `current`.
struct Editor {
    CardDocument doc;
    EditorModel model{doc};
    Editor(const std::string& body, std::vector<int> selected, int current = -1,
           const char* version = "1.4") {
        read_data_file(std::string("QUIZODATA V") + version + "\r\n" + body, doc);
        model.reset();
        model.set_selection(selected, selected.empty() ? -1 : selected.front());
        doc.current = current;
    }
    std::string texts() const {
        std::string joined;
        for (const DataLine& line : doc) joined += (line.has_text() ? line.text() : "_") + "|";
        return joined;
    }
};

TEST(Clipboard, CopyGivesEachSelectedLineAsStored) {
    Editor e("#t,000000\r\n\r\nq,a,<00\r\n'c\r\n", {0, 1, 2});
    EXPECT_EQ(selected_lines_text(e.model), "#t,000000\r\n\r\nq,a,<00\r\n");
    e.model.clear_selection();
    EXPECT_EQ(selected_lines_text(e.model), "");
}

TEST(Clipboard, PasteClassifiesAsTheReaderAndInsertsAfterTheCurrentLine) {
    struct Case {
        const char* name;
        const char* version;
        int current;
        std::string text;
        std::string after;
    };
    const Case cases[] = {
        {"CR LF after line 0", "1.4", 0, "x,1,<00\r\ny,2,<00\r\n", "a,1,<00|x,1,<00|y,2,<00|b,2,<00|"},
        {"LF only, no current", "1.4", -1, "x,1,<00\ny,2,<00\n", "x,1,<00|y,2,<00|a,1,<00|b,2,<00|"},
        {"CR only, after the last", "1.4", 1, "x,1,<00\ry,2,<00\r", "a,1,<00|b,2,<00|x,1,<00|y,2,<00|"},
        {"unterminated last line", "1.4", 1, "x,1,<00\r\ny,2,<00", "a,1,<00|b,2,<00|x,1,<00|y,2,<00|"},
        {"blank line kept", "1.4", 1, "\r\n'c\r\n", "a,1,<00|b,2,<00|_|'c|"},
        {"$ in 1.3 is a question, invalid", "1.3", 1, "$Message=m\r\n", "a,1,<00|b,2,<00|'$Message=m|"},
        {"$ in 1.4 is a settings line", "1.4", 1, "$Message=m\r\n", "a,1,<00|b,2,<00|$Message=m|"},
        {"invalid title as comment", "1.4", 1, "#t,00\r\n", "a,1,<00|b,2,<00|'t,00|"},
        {"empty text pastes nothing", "1.4", 1, "", "a,1,<00|b,2,<00|"},
        {"text after a NUL dropped", "1.4", 1, std::string("x,1,<00\0y", 9), "a,1,<00|b,2,<00|x,1,<00|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editor e("a,1,<00\r\nb,2,<00\r\n", {}, c.current, c.version);
        paste_text(e.model, c.text);
        EXPECT_EQ(e.texts(), c.after);
        EXPECT_EQ(e.model.modified(), c.text.size() > 0);
        if (e.model.can_undo()) {
            e.model.undo();
            EXPECT_EQ(e.texts(), "a,1,<00|b,2,<00|");
        }
    }
    Editor e("'x\r\n", {});
    paste_text(e.model, "$Message=m\r\n");
    EXPECT_EQ(e.doc.line_at(0)->kind(), LINE_MESSAGE);
}

TEST(BulkEdit, ReversedQuestion) {
    struct Case {
        const char* line;
        const char* reversed;
    };
    const Case cases[] = {
        {"Q,A,?20'c", "A,Q,<00"},
        {"Q,#A,<00", "\\#A,Q,<00"},
        {"Q,'A,<00", "\\'A,Q,<00"},
        {"Q,$A,<00", "\\$A,Q,<00"},
        {"\\#Q,A,<00", "A,#Q,<00"},                        // protection dropped
        {"f(x) [a|b],y,<00", "y,f\\(x\\) \\[a\\|b\\],<00"},  // marks literal in the answer
        {"Q,\\(x\\),<00", "(x),Q,<00"},                    // escaped marks plain in the question
        {"Q,[A|B]C,<00", "[A|B]C,Q,<00"},                  // alternatives as written
        {"Q\\,x,A\\,y,<00", "A\\,y,Q\\,x,<00"},
        {"\\i\"a(1).png\"(,A,<00", "A,\\i\"a(1).png\"\\(,<00"},
        {"\\\\(,A,<00", "A,\\\\\\(,<00"},
        {"表(ひょう),答,<00", "答,表\\(ひょう\\),<00"},
        {"Q,,<00", ",Q,<00"},
        {"no answer", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string reversed = reversed_question(c.line);
        EXPECT_EQ(reversed, c.reversed);
        if (!reversed.empty()) {
            // It reads back as a question line.
            DataLine line = classify_data_line(reversed.c_str(), 14);
            EXPECT_EQ(line.text(), reversed);
            EXPECT_TRUE(is_question(&line));
        }
    }
}

TEST(BulkEdit, SwapAppendsCopiesOfTheSelectedQuestions) {
    Editor e("#t,000000\r\nQ,A,?20'c\r\n'c\r\nR,B,<55\r\n", {0, 1, 2, 3}, 0);
    EXPECT_EQ(swap_selected_questions(e.model), 2);
    EXPECT_EQ(e.texts(), "#t,000000|Q,A,?20'c|'c|R,B,<55|A,Q,<00|B,R,<00|");
    EXPECT_EQ(e.model.selected(), (std::vector<int>{0, 1, 2, 3}));
    e.model.undo();
    EXPECT_EQ(e.doc.count(), 4);
    EXPECT_FALSE(e.model.modified());

    Editor none("#t,000000\r\n'c\r\nq,a,<00\r\n", {0, 1});
    EXPECT_EQ(swap_selected_questions(none.model), 0);
    EXPECT_FALSE(none.model.modified());
}

TEST(BulkEdit, GroupChangeSetsTheDigitAfterTheAnswer) {
    Editor e("Q,A,?20\r\nQ\\,x,A,?20\r\n#t,000000\r\n\\i\"a,b\",A,<00'c\r\nq,a,<77\r\n",
             {0, 1, 2, 3});
    EXPECT_EQ(change_selected_groups(e.model, 3), 3);
    EXPECT_EQ(e.texts(), "Q,A,?30|Q\\,x,A,?30|#t,000000|\\i\"a,b\",A,<30'c|q,a,<77|");
    EXPECT_TRUE(e.model.modified());
    e.model.undo();
    EXPECT_EQ(e.texts(), "Q,A,?20|Q\\,x,A,?20|#t,000000|\\i\"a,b\",A,<00'c|q,a,<77|");

    Editor none("#t,000000\r\nq,a,<00\r\n", {0});
    EXPECT_EQ(change_selected_groups(none.model, 3), 0);
    EXPECT_FALSE(none.model.modified());
    EXPECT_FALSE(none.model.can_undo());
}

}  // namespace
}  // namespace qz
