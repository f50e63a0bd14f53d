// Problem check: the lines a quiz would trip over when it is played.
//
// One pass over the document finds answers that do not expand, empty
// questions and answers, answer numbers beyond the answer's alternatives,
// questions that repeat one another under their title's comparison flags,
// groups without a name, pictures that would not show, and lines that loading turned into
// comments. Each finding names a
// line by its address, which stays valid while the line is in the document,
// so a list of findings still leads to the right line after edits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/image/picture_probe.h"

namespace qz {

// Kinds of problem, in the order the checks run on a line. A new kind of
// check adds a kind here and a label in problem_kind_label.
enum class ProblemKind {
    rewritten_line,       // loading turned the line into a comment or a blank line
    answer_syntax,        // the answer does not expand
    empty_question,
    empty_answer,
    answer_number_range,  // the answer number is beyond the alternatives
    unnamed_group,        // the group has no name in the group names line
    picture,              // a picture is missing, not a picture, or unreadable
    duplicate_question,   // same question as other lines of its title
};

const char* problem_kind_label(ProblemKind kind);

// What is wrong: fixed words many problems share, or words made for one.
// Half the size of a std::string, for files that are nothing but problems.
class ProblemText {
public:
    ProblemText() = default;
    ProblemText(const char* fixed) : text_(fixed) {}
    ProblemText(std::string_view made) { own(made); }
    ProblemText(const std::string& made) { own(made); }
    ProblemText(const ProblemText& other) { *this = other; }
    ProblemText(ProblemText&&) noexcept = default;
    ProblemText& operator=(const ProblemText& other) {
        if (this == &other) return *this;
        if (other.owned_)
            own(other.text_);
        else
            owned_.reset(), text_ = other.text_;
        return *this;
    }
    ProblemText& operator=(ProblemText&&) noexcept = default;

    const char* c_str() const { return text_; }

private:
    void own(std::string_view made) {
        owned_ = std::make_unique<char[]>(made.size() + 1);
        std::copy(made.begin(), made.end(), owned_.get());
        owned_[made.size()] = '\0';
        text_ = owned_.get();
    }
    std::unique_ptr<char[]> owned_;
    const char* text_ = "";
};

struct Problem {
    ProblemText detail;
    int index = 0;              // the line's index when the check ran
    std::uint32_t line_id = 0;  // the line's id, to find it again after edits
    ProblemKind kind = ProblemKind::empty_question;

    const char* what() const { return detail.c_str(); }
};

// The reason in English (qzotool check) and as the problem list says it.
const char* rewrite_reason_text(RewriteReason reason);
const char* rewrite_reason_label(RewriteReason reason);

// A line that loading rewrote, remembered by its id with a fingerprint of
// the text it got (a copy would double the memory of a file that is all
// rewritten lines).
struct RewriteNote {
    std::uint32_t line_id = 0;
    std::uint64_t text_hash = 0;
    std::uint32_t text_size = 0;
    RewriteReason reason = RewriteReason::invalid_question;
};

// How the picture references of questions and answers are checked: each is
// resolved against `base` (as resolve_image_path takes it) and the full
// path handed to `probe`. Without a probe pictures are not checked. The
// base is UTF-8, as every path; `to_utf8` turns a reference as the line
// holds it (code page 932) into UTF-8 (none: taken as it is).
struct PictureCheck {
    std::string base;
    std::function<PictureProbeResult(const std::string& path)> probe;
    std::function<std::string(std::string_view reference)> to_utf8 = {};
};

// Every problem of the document, ordered by line and then kind. `rewrites`
// are the notes taken when the file was read; a note counts while a line
// with that address still holds the text it was given.
std::vector<Problem> check_problems(const CardDocument& doc,
                                    const std::vector<RewriteNote>& rewrites = {},
                                    const PictureCheck& pictures = {});

// check_problems on a document as reading left it, told by the reader
// which lines it rewrote (in the order of their index).
std::vector<Problem> check_problems_as_read(const CardDocument& doc,
                                            const std::vector<RewrittenLine>& rewritten,
                                            const PictureCheck& pictures = {});

// The notes for the lines of `doc` that reading it rewrote.
std::vector<RewriteNote> rewrite_notes(const std::vector<RewrittenLine>& rewritten,
                                       const CardDocument& doc);

// The index of the line with the id `line_id` in `doc`, or -1 when it is
// gone (a line that took its place has another id).
int find_line_by_id(const CardDocument& doc, std::uint32_t line_id);

}  // namespace qz
