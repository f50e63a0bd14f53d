#include "core/exchange/aiken.h"

#include <algorithm>
#include <string_view>

#include "core/exchange/moodle_text.h"
#include "core/syntax/byte_search.h"

namespace qz {
namespace {

// The format has one line per text: line breaks become spaces.
std::string one_line(std::string text) {
    std::string out;
    out.reserve(text.size());
    const char* const begin = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Up to the next line break at once.
        const std::size_t run = static_cast<std::size_t>(find_either_byte(begin + i, begin + text.size(), '\r', '\n') - begin);
        out.append(text, i, run - i);
        i = run;
        if (i == text.size()) break;
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// "A. text" or "A) text": the letter's index and the text; -1 otherwise.
// Without the blank ("A)text", which Moodle takes too) only the letter
// `expected` makes an option, so that a line such as "B.C. 300" stays text.
int option_line(std::string_view line, int expected, std::string_view* text) {
    if (line.size() < 3 || line[0] < 'A' || line[0] > 'Z' || (line[1] != '.' && line[1] != ')')) return -1;
    const bool blank = line[2] == ' ' || line[2] == '\t';
    if (!blank && line[0] - 'A' != expected) return -1;
    *text = trim(line.substr(2));
    return line[0] - 'A';
}

}  // namespace

ExportResult write_aiken(const std::vector<ExchangeCard>& cards, const ExportOptions& options, AikenLeftOut* why) {
    AikenLeftOut counted;
    if (!why) why = &counted;
    *why = AikenLeftOut{};
    ExportResult result;
    std::string out;
    auto u8 = [&](const std::string& cp932) { return one_line(cp932_to_utf8(cp932, &result.undecodable)); };
    for (auto [begin, end] : title_runs(cards)) {
        const int choices = cards[begin].titled ? cards[begin].title.choice_count : 0;
        if (choices < 2) {
            result.left_out += static_cast<int>(end - begin);
            why->not_multiple_choice += static_cast<int>(end - begin);
            continue;
        }
        const int distinct = distinct_answers(cards, begin, end);
        for (std::size_t k = begin; k < end; ++k) {
            const std::string& right = shown_alternative(cards[k]);
            std::vector<const std::string*> options_of =
                wrong_choices(cards, begin, end, k, std::min(choices - 1, distinct - 1));
            if (right.empty() || options_of.empty()) {
                ++result.left_out;
                ++(right.empty() ? why->unwritable : why->too_few_answers);
                continue;
            }
            const std::size_t place = (k - begin) % (options_of.size() + 1);
            options_of.insert(options_of.begin() + static_cast<std::ptrdiff_t>(place), &right);
            // The format cannot hold an empty text or a question line that
            // reads as the answer line.
            const std::string question(trim(u8(cards[k].fields.question)));
            std::vector<std::string> texts;
            for (const std::string* option : options_of) texts.emplace_back(trim(u8(*option)));
            if (question.empty() || question.starts_with("ANSWER:") ||
                std::any_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); })) {
                ++result.left_out;
                ++why->unwritable;
                continue;
            }
            out += question + "\r\n";
            for (std::size_t i = 0; i < texts.size(); ++i) {
                out += static_cast<char>('A' + i);
                out += ". " + texts[i] + "\r\n";
            }
            out += "ANSWER: ";
            out += static_cast<char>('A' + place);
            out += "\r\n\r\n";
            ++result.cards;
        }
    }
    result.bytes = encode_text(out, options.encoding);
    return result;
}

ImportResult read_aiken(std::string_view bytes, TextEncoding encoding, const std::string& title) {
    ImportResult result;
    result.encoding = encoding;
    const DecodedText decoded = decode_text(bytes, encoding);
    const std::string_view text = decoded.text;

    struct Pending {
        int row = 0;
        std::size_t begin = 0;
        std::string question;  // UTF-8
        std::vector<std::string> options;
        // Emptied for the next question; the list keeps its room.
        void clear() {
            row = 0;
            begin = 0;
            question.clear();
            options.clear();
        }
    } q;
    auto refuse = [&](int row, const char* reason) {
        result.problems.push_back({ImportProblem::refused, row, 0, reason});
    };
    auto finish = [&](std::string_view answer_line, std::size_t end) {
        const int row = q.row;
        const auto bad = std::lower_bound(decoded.bad.begin(), decoded.bad.end(), q.begin);
        const std::string_view letter = trim(answer_line);
        if (bad != decoded.bad.end() && *bad < end) {
            refuse(row, "文字コードとして読めないバイトがあります。");
        } else if (text.substr(q.begin, end - q.begin).find("\xEF\xBB\xBF") != std::string_view::npos) {
            refuse(row, "途中にバイトオーダーマーク (U+FEFF) があります。");
        } else if (q.options.size() < 2) {
            refuse(row, "選択肢が 2 つ以上ありません。");
        } else if (q.options.size() > 9) {
            refuse(row, "選択肢が 10 個以上ある問題には対応していません。");
        } else if (letter.size() != 1 || letter[0] < 'A' ||
                   letter[0] >= 'A' + static_cast<int>(q.options.size())) {
            refuse(row, "ANSWER: がどの選択肢も指していません。");
        } else {
            ExchangeCard card;
            card.row = row;
            card.titled = true;
            card.title.choice_count = static_cast<int>(q.options.size());
            std::string right;
            const std::size_t told = result.problems.size();
            // The question's texts are not needed after this.
            const bool ok =
                field_to_cp932(no_break_spaces_as_spaces(std::move(q.question)), row, 0, card.fields.question,
                               result.problems) &&
                field_to_cp932(no_break_spaces_as_spaces(std::move(q.options[letter[0] - 'A'])), row, 0, right,
                               result.problems);
            if (ok) {
                card.title.title = title;
                card.alternatives.push_back(std::move(right));
                card.fields.answer = answer_from_alternatives(card.alternatives);
                result.cards.push_back(std::move(card));
            } else {
                result.problems.erase(
                    std::remove_if(result.problems.begin() + static_cast<std::ptrdiff_t>(told), result.problems.end(),
                                   [](const ImportProblem& p) { return p.kind != ImportProblem::refused; }),
                    result.problems.end());
            }
        }
        q.clear();
    };

    std::size_t pos = 0;
    int row = 0;
    // After a question refused in its choices, the rest of its lines (up
    // to its ANSWER: line or a blank line) are no new question.
    bool skipping = false;
    while (pos < text.size()) {
        // Lines end in LF, CR LF or CR.
        const std::size_t end =
            static_cast<std::size_t>(find_either_byte(text.data() + pos, text.data() + text.size(), '\r', '\n') - text.data());
        const std::size_t next = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        ++row;
        const std::string_view line = trim(text.substr(pos, end - pos));
        std::string_view option;
        if (skipping) {
            skipping = !line.empty() && !line.starts_with("ANSWER:");
        } else if (line.empty()) {
            // Blank lines only separate questions.
        } else if (line.starts_with("ANSWER:")) {
            if (q.question.empty()) refuse(row, "問題のない ANSWER: の行です。");
            else finish(line.substr(7), end);
        } else if (const int letter =
                       q.question.empty() ? -1 : option_line(line, static_cast<int>(q.options.size()), &option);
                   letter >= 0) {
            if (letter != static_cast<int>(q.options.size())) {
                refuse(q.row, "選択肢の記号が A から順に並んでいません。");
                q.clear();
                skipping = true;
            } else {
                q.options.emplace_back(option);
            }
        } else if (!q.options.empty()) {
            refuse(q.row, "ANSWER: の行がありません。");
            q.clear();
            q.row = row;
            q.begin = pos;
            q.question.assign(line);
        } else if (q.question.empty()) {
            q.row = row;
            q.begin = pos;
            q.question.assign(line);
        } else {
            q.question += "\r\n";
            q.question += line;
        }
        pos = next;
    }
    if (!q.question.empty()) refuse(q.row, "ANSWER: の行がありません。");
    tell_drawn_choices(result);
    return result;
}

}  // namespace qz
