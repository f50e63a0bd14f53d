// Delimited text -> cards -> lines -> cards -> delimited text -> cards.
// Reading any bytes never fails hard. The cards read become lines that read
// back as the cards were given; exporting those lines and importing the
// export, in both separators and in either encoding, gives the same lines
// with the same expanded answers. The same bytes read as the lines of a
// data file come back from an export with the same answers, shown texts
// and pictures, and byte for byte where the editor would write the line so.
#include <algorithm>
#include <optional>
#include <vector>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "core/exchange/exchange_io.h"
#include "core/image/image_path.h"
#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "fuzz_require.h"

namespace {

std::vector<std::string> texts(const std::vector<qz::DataLine>& lines) {
    std::vector<std::string> out;
    for (const qz::DataLine& line : lines) out.emplace_back(line.text());
    return out;
}

std::vector<std::optional<std::string>> answers(const std::vector<qz::DataLine>& lines) {
    std::vector<std::optional<std::string>> out;
    for (const qz::DataLine& line : lines) out.push_back(qz::expand_answer(line.c_str()));
    return out;
}

bool same(const std::string& a, const std::string& b) { return a == b || qz::cp932_to_utf8(a) == qz::cp932_to_utf8(b); }

std::vector<std::string> pictures(std::string_view text) {
    std::vector<std::string> out;
    // Closed ones: a reference left open is no picture to the line's scanners.
    for (const qz::ImageReference& r : qz::find_image_references(text))
        if (text.substr(r.position + 3 + r.path.size(), 1) == "\"") out.push_back(r.path);
    return out;
}

std::vector<qz::DataLine> through_export(const std::vector<qz::ExchangeCard>& cards, qz::ExchangeFormat format,
                                         qz::TextEncoding encoding) {
    const qz::ExportResult exported = qz::export_cards(cards, format, {encoding});
    qz::ImportRequest request;
    request.format = format;
    const qz::ImportResult again = qz::import_cards(exported.bytes, request);
    require(again.problems.empty());
    std::vector<qz::ImportProblem> problems;
    std::vector<qz::DataLine> back = qz::lines_from_cards(again.cards, 14, &problems);
    require(problems.empty());
    return back;
}

// The bytes as the question lines of a data file of format 1.4.
void own_lines_round_trip(std::string_view bytes, qz::ExchangeFormat format, qz::TextEncoding encoding) {
    qz::CardDocument doc;
    qz::read_data_file("QUIZODATA V1.4\r\n" + std::string(bytes), doc);
    std::vector<qz::DataLine> lines;
    for (const qz::DataLine& line : doc) {
        if (!qz::is_question(&line)) continue;
        // Text an export can write: code page 932 characters, no control bytes but tabs.
        std::size_t bad = 0;
        qz::cp932_to_utf8(line.text(), &bad);
        const std::string_view text = line.text();
        if (bad || std::any_of(text.begin(), text.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }))
            return;
        // Not yet kept: a run of backslashes before a reference whose path
        // holds a backslash or a comma is shown the old way (the run halved),
        // so the export writes the reference as a picture.
        if (text.find("\\\\i\"") != std::string_view::npos) return;
        lines.push_back(line);
    }
    if (lines.empty()) return;
    qz::CardDocument questions;
    for (const qz::DataLine& line : lines) questions.append(qz::DataLine(line));
    // As an export of the editor takes them: delimited text needs no alternatives.
    const std::vector<qz::ExchangeCard> cards =
        qz::cards_from_document(questions, nullptr, nullptr, qz::format_needs_alternatives(format));
    // A card without question, or with a field too long, is refused; leave those.
    for (const qz::ExchangeCard& card : cards)
        if (card.fields.question.empty() || card.fields.question.size() > qz::kMaxImportFieldBytes / 2 ||
            card.fields.answer.size() > qz::kMaxImportFieldBytes / 2 ||
            card.fields.comment.size() > qz::kMaxImportFieldBytes / 2)
            return;
    const std::vector<qz::DataLine> back = through_export(cards, format, encoding);
    require(back.size() == lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const qz::DataLine& a = lines[i];
        const qz::DataLine& b = back[i];
        const std::optional<std::string> ea = qz::expand_answer(a.c_str()), eb = qz::expand_answer(b.c_str());
        require(ea.has_value() == eb.has_value() && (!ea || same(*ea, *eb)));
        const qz::QuestionFields fa = qz::question_display_fields(a.c_str(), {}, 14);
        const qz::QuestionFields fb = qz::question_display_fields(b.c_str(), {}, 14);
        // Compared as characters: code page 932 has two codes for some
        // (the NEC-selected IBM extensions), and an export writes one.
        require(same(fa.question, fb.question) && same(fa.comment, fb.comment));
        const std::vector<std::string> pa = pictures(a.text()), pb = pictures(b.text());
        require(pa.size() == pb.size() && std::equal(pa.begin(), pa.end(), pb.begin(), same));
        qz::QuestionEdit edit;
        edit.question = fa.question;
        edit.answer = fa.answer;
        edit.history = fa.history;
        edit.group = fa.group;
        edit.answer_number = fa.answer_number;
        edit.comment = fa.comment;
        if (qz::compose_question_line(nullptr, edit, {}, 14) == a.text()) require(same(std::string(b.text()), std::string(a.text())));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qz::ExchangeFormat format = size % 2 ? qz::ExchangeFormat::csv : qz::ExchangeFormat::tsv;
    // Code page 932 holds every character of the lines; UTF-8 too.
    const qz::TextEncoding encoding = size % 3 ? qz::TextEncoding::utf8 : qz::TextEncoding::cp932;
    if (bytes.find('\0') == std::string_view::npos) own_lines_round_trip(bytes, format, encoding);

    qz::ImportRequest request;
    request.format = qz::ExchangeFormat::csv;
    const qz::ImportResult first = qz::import_cards(bytes, request);
    for (const qz::ImportProblem& p : first.problems) require(!p.reason.empty());
    std::vector<qz::ImportProblem> problems;
    std::vector<qz::DataLine> lines = qz::lines_from_cards(first.cards, 14, &problems);
    if (lines.empty()) return 0;

    const std::vector<std::string> expected = texts(lines);
    const std::vector<std::optional<std::string>> expected_answers = answers(lines);
    qz::CardDocument doc;
    for (qz::DataLine& line : lines) doc.append(std::move(line));
    const std::vector<qz::DataLine> back =
        through_export(qz::cards_from_document(doc, nullptr, nullptr, qz::format_needs_alternatives(format)), format, encoding);
    require(answers(back) == expected_answers);
    require(texts(back) == expected);
    return 0;
}
