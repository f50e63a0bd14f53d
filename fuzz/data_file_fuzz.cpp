// Bytes -> document -> bytes. Reading the written bytes and writing them
// again must give the same bytes (the editor's output is a fixed point of
// open-and-save), and a file with a valid header opens with one line per
// text line after the header (one blank line for a header alone), NUL bytes
// left out, and the same lines that pasting those text lines gives (none
// for no text). Reading in place without a document (qzotool's check and
// find) sees the same rewritten lines and finds the same lines.
#include <algorithm>
#include <vector>

#include "core/document/data_file.h"
#include "core/operations/clipboard.h"
#include "core/operations/matching.h"
#include "tool/find_command.h"
#include "fuzz_require.h"

namespace {

bool is_break(char c) {
    return c == '\r' || c == '\n' || c == '\x01';
}

// The format version when the text (up to its first NUL) starts with a
// header line the reader accepts; 0 otherwise. Works on the raw bytes.
int header_version(std::string_view text) {
    if (text.size() < 14 || text.substr(0, 11) != "QUIZODATA V") return 0;
    const char major = text[11], point = text[12], minor = text[13];
    if (major < '0' || major > '9' || point != '.' || minor < '0' || minor > '9') return 0;
    if (text.size() > 14 && !is_break(text[14])) return 0;
    const int version = 10 * (major - '0') + (minor - '0');
    return version >= 12 && version <= 14 ? version : 0;
}

// Where the text after the header line and its line break begins.
std::size_t body_start(std::string_view text) {
    std::size_t i = 14;
    if (i < text.size()) i += text.substr(i, 2) == "\r\n" ? 2 : 1;
    return std::min(i, text.size());
}

// Text lines after the header line: every CR LF, CR, LF or 0x01 ends one,
// and text after the last of them is one more.
int text_lines(std::string_view text) {
    std::size_t i = body_start(text);
    int lines = 0;
    bool open_line = false;
    for (; i < text.size(); ++i) {
        if (is_break(text[i])) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++lines;
            open_line = false;
        } else {
            open_line = true;
        }
    }
    return lines + (open_line ? 1 : 0);
}

bool same(const std::vector<qz::RewrittenLine>& a, const std::vector<qz::RewrittenLine>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.index == y.index && x.reason == y.reason;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // NUL bytes are dropped; the text around them stays.
    std::string text = input;
    std::erase(text, '\0');
    const int version = header_version(text);

    qz::CardDocument doc;
    const qz::LoadResult result = qz::read_data_file(input, doc);
    require(result.nul_bytes.count == input.size() - text.size());
    require((result.nul_bytes.first_line > 0) == (result.nul_bytes.count > 0));
    if (result.status != qz::LoadStatus::ok) {
        require(version == 0);
        require(doc.count() == 0);
        require(qz::load_status_message(result.status) != nullptr);
        return 0;
    }
    require(version != 0);
    require(doc.version == version);
    const int lines = text_lines(text);
    require(doc.count() == (lines == 0 ? 1 : lines));

    // Pasting the same text lines gives the same lines (none for no text).
    const std::vector<qz::DataLine> pasted =
        qz::lines_from_text(text.substr(body_start(text)), version);
    require(static_cast<int>(pasted.size()) == lines);
    auto line = doc.begin();
    for (const qz::DataLine& p : pasted) {
        require(p.kind() == line->kind() && p.text() == line->text());
        ++line;
    }

    // Reading in place (qzotool check and normalize) sees the lines the
    // document reader rewrote (the reason given for each form: see the
    // qzotool check tests) and, writing a line at a time, the same bytes.
    std::string in_place = input;
    const qz::DataFileText file = qz::open_data_file_text(in_place);
    std::vector<qz::RewrittenLine> forms;
    std::string normalized;
    qz::append_header_line(normalized, version);
    int index = 0;
    qz::split_lines(file.body, file.end, [&](const char* line, std::size_t length) {
        const qz::LineForm form = qz::classify_line(line, length, version).form;
        if (form != qz::LineForm::kept)
            forms.push_back({index, qz::rewrite_reason(line[0], form, version)});
        qz::append_read_line(normalized, line, length, form);
        ++index;
    });
    require(same(result.rewritten, forms));

    // The reader's scan of 64 bytes at a time splits and classifies as the
    // byte-by-byte path does, the bytes left as they were.
    std::string scanned = input;
    const qz::DataFileText scanned_file = qz::open_data_file_text(scanned);
    const std::string before(scanned_file.body, scanned_file.end);
    std::vector<std::pair<std::string, qz::LineClass>> fast;
    qz::classify_lines(scanned_file.body, scanned_file.end, version,
                       [&](const char* line, std::size_t length, qz::LineClass c) {
                           fast.emplace_back(std::string(line, length), c);
                       });
    require(std::string_view(scanned_file.body, scanned_file.end - scanned_file.body) == before);
    std::size_t at = 0;
    qz::split_lines(scanned_file.body, scanned_file.end, [&](const char* line, std::size_t length) {
        const qz::LineClass slow = qz::classify_line(line, length, version);
        require(at < fast.size() && fast[at].first == std::string_view(line, length) &&
                fast[at].second.kind == slow.kind && fast[at].second.form == slow.form);
        ++at;
    });
    require(at == fast.size());
    if (file.body == file.end) normalized += "\r\n";
    require(normalized == qz::write_data_file(doc));
    std::string runs;
    qz::append_header_line(runs, version);
    std::string copied = input;
    const qz::DataFileText copied_file = qz::open_data_file_text(copied);
    qz::append_read_lines(runs, copied_file.body, copied_file.end, version);
    if (copied_file.body == copied_file.end) runs += "\r\n";
    require(runs == normalized);

    // Find: a piece of the last line, conditions from the input's size.
    const std::string_view last = std::prev(doc.end())->text();
    const std::string search(last.empty() ? std::string_view("a") : last.substr(last.size() / 2, 3));
    const auto conditions = static_cast<qz::SearchConditions>((size * 0x35 % 0xF0 + 0x10) & ~0x08u);
    const qz::MatchTable table = *qz::build_match_table(search, conditions);
    std::string expected;
    qz::LineMatcher matcher(doc, table);
    for (int i = 0; i < doc.count(); ++i)
        if (matcher.matches(i)) expected += std::to_string(i + 2) + "\n";
    std::string again_in_place = input;
    const qz::DataFileText again_text = qz::open_data_file_text(again_in_place);
    qz::tool::LineFinder finder(table, version);
    // In two runs of whole lines, as qzotool reads a file in pieces.
    char* const middle = std::find(again_text.body, again_text.end, '\n');
    finder.read(again_text.body, middle == again_text.end ? middle : middle + 1);
    if (middle != again_text.end) finder.read(middle + 1, again_text.end);
    require(finder.numbers() == expected);

    const std::string once = qz::write_data_file(doc);
    qz::CardDocument again;
    require(qz::read_data_file(once, again).status == qz::LoadStatus::ok);
    require(again.count() == doc.count());
    require(qz::write_data_file(again) == once);
    return 0;
}
