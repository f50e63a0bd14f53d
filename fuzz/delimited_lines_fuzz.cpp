// The lines of a data file -> cards -> delimited text -> cards -> lines.
// The question lines, exported in either separator and encoding and
// imported again, come back with the same answers, shown texts and
// pictures, and byte for byte where the editor would write the line so.
#include <algorithm>
#include <optional>
#include <vector>

#include "core/document/data_file.h"
#include "core/image/image_path.h"
#include "core/syntax/answer.h"
#include "core/syntax/fields.h"
#include "delimited_round_trip.h"

namespace {

std::vector<std::string> pictures(std::string_view text) {
    std::vector<std::string> out;
    // Closed ones: a reference left open is no picture to the line's scanners.
    for (const qz::ImageReference& r : qz::find_image_references(text))
        if (text.substr(r.position + 3 + r.path.size(), 1) == "\"") out.push_back(r.path);
    return out;
}

// The bytes as the question lines of a data file of format 1.4.
void round_trip(std::string_view bytes, qz::ExchangeFormat format, qz::TextEncoding encoding) {
    qz::CardDocument doc;
    qz::read_data_file("QUIZODATA V1.4\r\n" + std::string(bytes), doc);
    qz::CardDocument questions;
    for (const qz::DataLine& line : doc) {
        if (!qz::is_question(&line)) continue;
        // Text an export can write: code page 932 characters, no control bytes but tabs.
        const std::string_view text = line.text();
        const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; };
        if (std::any_of(text.begin(), text.end(), control) || qz::cp932_undefined(text)) return;
        if (pair_before_reference(text)) return;
        questions.append(qz::DataLine(line));
    }
    if (questions.empty()) return;
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
    require(back.size() == static_cast<std::size_t>(questions.count()));
    for (std::size_t i = 0; i < back.size(); ++i) {
        const qz::DataLine& a = *questions.line_at(static_cast<int>(i));
        const qz::DataLine& b = back[i];
        const std::optional<std::string> ea = qz::expand_answer(a.c_str()), eb = qz::expand_answer(b.c_str());
        require(ea.has_value() == eb.has_value() && (!ea || same_characters(*ea, *eb)));
        const qz::QuestionFields fa = qz::question_display_fields(a.c_str(), {}, 14);
        const qz::QuestionFields fb = qz::question_display_fields(b.c_str(), {}, 14);
        require(same_characters(fa.question, fb.question) && same_characters(fa.comment, fb.comment));
        const std::vector<std::string> pa = pictures(a.text()), pb = pictures(b.text());
        require(pa.size() == pb.size() && std::equal(pa.begin(), pa.end(), pb.begin(), same_characters));
        qz::QuestionEdit edit;
        edit.question = fa.question;
        edit.answer = fa.answer;
        edit.history = fa.history;
        edit.group = fa.group;
        edit.answer_number = fa.answer_number;
        edit.comment = fa.comment;
        if (qz::compose_question_line(nullptr, edit, {}, 14) == a.text()) require(same_characters(b.text(), a.text()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.find('\0') == std::string_view::npos) round_trip(bytes, format_for(size), encoding_for(size));
    return 0;
}
