// Cards as they are exchanged with other card tools: a question line with
// the title it stands under, in shown (unescaped) code page 932 text, and
// what reading another tool's file found wrong with it.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/document/card_document.h"
#include "core/exchange/text_encoding.h"
#include "core/syntax/fields.h"

namespace qz {

enum class ExchangeFormat { tsv, csv, gift, aiken, moodle_xml };

// "tsv", "csv", "gift", "aiken", "moodle-xml" (the command line's names).
const char* format_key(ExchangeFormat format);
bool format_from_key(std::string_view key, ExchangeFormat* format);

// One card. Every text is code page 932 as a pane shows it: escapes undone,
// answer syntax and picture references (\i"path") kept as typed.
struct ExchangeCard {
    // Where the card starts in the file it was read from (line number from
    // 1); for a card of a document, its line's number in the data file.
    int row = 0;
    // The title the card stands under; none for the questions before the
    // first title.
    bool titled = false;
    TitleFields title;
    // Question, answer, history, group, answer number and comment.
    QuestionFields fields;
    // The expanded answer, one entry per alternative (filled for a card of
    // a document; a reader may fill it instead of fields.answer).
    std::vector<std::string> alternatives;
    // The answer stands for more alternatives than an expansion gives:
    // `alternatives` holds the ones completed before it stopped.
    bool alternatives_cut_short = false;
    // The name of the card's group as a tag (spaces as '_'), empty for the
    // general group (filled for a card of a document).
    std::string group_tag;
};

// The alternative the answer number picks, else the first one.
const std::string& shown_alternative(const ExchangeCard& card);

// The cards of the question lines of a document, or of those among the
// lines at `indexes` (ascending) when given; each with the title in effect
// at its line. `skipped`, when given, counts the other lines of the scope.
// The alternatives are filled unless `alternatives` is false (delimited
// text does not need them: see format_needs_alternatives).
std::vector<ExchangeCard> cards_from_document(const CardDocument& doc,
                                              const std::vector<int>* indexes = nullptr,
                                              int* skipped = nullptr, bool alternatives = true);
// Whether a format's writer reads ExchangeCard::alternatives (GIFT, Aiken, Moodle XML).
constexpr bool format_needs_alternatives(ExchangeFormat format) {
    return format == ExchangeFormat::gift || format == ExchangeFormat::aiken || format == ExchangeFormat::moodle_xml;
}

// Something a reader found: a row it could not take (refused), a character
// code page 932 cannot hold (written as "〓") or another notice.
struct ImportProblem {
    enum Kind { refused, substituted, notice };
    Kind kind = refused;
    int row = 0;     // line number in the file, 0 for the whole file
    int column = 0;  // column (delimited text) from 1, 0 for none
    std::string reason;  // code page 932, for the user
};

// What reading a file gave.
struct ImportResult {
    std::vector<ExchangeCard> cards;
    std::vector<ImportProblem> problems;
    // The whole file cannot be read (empty, binary, ...): the reason; no cards.
    std::string failure;
    TextEncoding encoding = TextEncoding::utf8;
    // Columns that hold values no role takes, each told by a notice: the
    // data is not all read (the command line fails unless told the roles).
    int unread_columns = 0;

    int count(ImportProblem::Kind kind) const;
};

// What the destination of an import calls its groups 0-9 (code page 932),
// for reading tags.
using GroupNames = std::array<std::string, 10>;
GroupNames builtin_group_names();
GroupNames document_group_names(const CardDocument& doc);
// A group's name as one tag: its spaces (which separate tags) as '_'.
std::string group_tag(std::string_view name);

// The data lines of the cards, in format `version`: a title line where the
// title changes (a card without title goes under the title in effect where
// the lines are inserted), then the card's question line. A card whose line
// would not read back as it was given (or whose alternatives the composed
// answer does not give) is left out with a refused problem in `problems`.
std::vector<DataLine> lines_from_cards(const std::vector<ExchangeCard>& cards, int version,
                                       std::vector<ImportProblem>* problems);

// Limits a reader holds to: a longer field or a larger file is refused.
inline constexpr std::size_t kMaxImportFieldBytes = 65536;
inline constexpr std::size_t kMaxImportFileBytes = 256u << 20;

// Options of a writer.
struct ExportOptions {
    TextEncoding encoding = TextEncoding::utf8;
    // The bytes of the picture a reference (code page 932, as written)
    // names, for a format that carries its pictures; nothing when it cannot
    // be read. Unset: the references are written without the files.
    std::function<std::optional<std::string>(const std::string& reference)> picture_bytes;
};

// What a writer gave: the file's bytes and what the user should be told.
struct ExportResult {
    std::string bytes;
    int cards = 0;
    // Cards left out (a format that takes only some kinds of question).
    int left_out = 0;
    // Cards written with only some of their answer's alternatives (an
    // answer standing for more than an expansion gives).
    int cut_short = 0;
    // Bytes of the document that are no character of code page 932 (written as U+FFFD).
    std::size_t undecodable = 0;
    // References (code page 932) to pictures that could not be read or
    // converted, each once: written as references, without the file.
    std::vector<std::string> unread_pictures;
};

// ---- Helpers the readers and writers share.

// A field read from a UTF-8 file as code page 932: characters the code page
// cannot hold become "〓", each reported as substituted at (row, column);
// a field longer than kMaxImportFieldBytes gives false with a refused
// problem.
bool field_to_cp932(std::string_view utf8, int row, int column, std::string& out,
                    std::vector<ImportProblem>& problems);

// The answer syntax text that stands for exactly these alternatives:
// "a" for one, "[a|b|c]" for more, the syntax marks in each escaped (and
// backslashes that would escape them doubled); picture references kept.
std::string answer_from_alternatives(const std::vector<std::string>& alternatives);
// The same for one text: "e-mail (email)" as "e-mail \(email\)".
std::string answer_from_text(std::string_view text);

// Runs of consecutive cards under the same title, [first, second).
std::vector<std::pair<std::size_t, std::size_t>> title_runs(const std::vector<ExchangeCard>& cards);

// How many different texts (none blank: empty, or blanks and line breaks
// alone) the shown alternatives of the run [begin, end) hold, counted up to
// 10: a card of the run finds one less at most as its wrong choices, so
// asking for no more keeps wrong_choices from going round the whole run for
// every card.
int distinct_answers(const std::vector<ExchangeCard>& cards, std::size_t begin, std::size_t end);

// The wrong choices of card k of the run [begin, end) under a
// multiple-choice title: the shown alternatives of the cards after it in
// the run (round to its start), none blank, equal to its own or taken
// before; at most `wanted`.
std::vector<const std::string*> wrong_choices(const std::vector<ExchangeCard>& cards, std::size_t begin,
                                              std::size_t end, std::size_t k, int wanted);

// Shown text (UTF-8) as HTML: entities, <br> and <img src="…">, the
// source the reference's path, or what `picture_source` makes of it.
std::string text_to_html(std::string_view text,
                         const std::function<std::string(std::string_view)>& picture_source = {});

// "n 行目: reason" problems as the command line and the dialogs list them.
std::string problem_text(const ImportProblem& problem);

}  // namespace qz
