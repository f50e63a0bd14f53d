#include "core/exchange/delimited.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <span>

#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// ---------------------------------------------------------------------------
// Records: RFC 4180 fields of UTF-8 text.

// The fields' bytes one after another, and where each field ends: a record
// of any width is two buffers, filled again for the next record.
struct Record {
    std::string bytes;
    std::vector<std::size_t> ends;  // past each field's last byte
    int line = 0;                   // where the record starts, from 1
    std::size_t begin = 0;          // its span in the text
    std::size_t end = 0;
    bool unterminated = false;

    std::size_t size() const { return ends.size(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t from = i ? ends[i - 1] : 0;
        return std::string_view(bytes).substr(from, ends[i] - from);
    }
    // Every field empty.
    bool empty() const { return bytes.empty(); }
};

class RecordReader {
public:
    RecordReader(std::string_view text, char separator, std::size_t pos, int line)
        : text_(text), separator_(separator), pos_(pos), line_(line) {}

    bool next(Record& record) {
        if (pos_ >= text_.size()) return false;
        record.line = line_;
        record.begin = pos_;
        record.unterminated = false;
        record.bytes.clear();
        record.ends.clear();
        for (bool more = true; more;) {
            more = read_field(record.bytes, record.unterminated);
            record.ends.push_back(record.bytes.size());
        }
        record.end = pos_;
        return true;
    }

    std::size_t position() const { return pos_; }
    int line() const { return line_; }

private:
    bool blank(char c) const { return (c == ' ' || c == '\t') && c != separator_; }

    // Reads one field onto the end of `field`; true when a separator
    // follows (another field of the same record), false at the record's end.
    // Blanks around a field outside quotes are not part of it, and a quote
    // after them opens a quoted one.
    bool read_field(std::string& field, bool& unterminated) {
        std::size_t lead = pos_;
        while (lead < text_.size() && blank(text_[lead])) ++lead;
        bool quoted = false;
        if (lead < text_.size() && text_[lead] == '"') {
            pos_ = lead;
            quoted = true;
        }
        if (quoted) {
            ++pos_;
            for (;;) {
                const std::size_t quote = text_.find('"', pos_);
                const std::size_t stop = quote == std::string_view::npos ? text_.size() : quote;
                count_lines(pos_, stop);
                field.append(text_.substr(pos_, stop - pos_));
                if (quote == std::string_view::npos) {
                    pos_ = text_.size();
                    unterminated = true;
                    return false;
                }
                pos_ = quote + 1;
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            // Text after the closing quote is kept, as spreadsheets do.
        } else {
            pos_ = lead;
        }
        const std::size_t start = pos_;
        // Up to the separator or the line's end, many bytes at a time.
        const char stops[] = {separator_, '\r', '\n'};
        const char* const begin = text_.data();
        pos_ = static_cast<std::size_t>(
            find_any_byte(begin + pos_, begin + text_.size(), std::string_view(stops, sizeof stops)) - begin);
        std::size_t stop = pos_;
        while (stop > start && blank(text_[stop - 1])) --stop;
        field.append(text_.substr(start, stop - start));
        if (pos_ >= text_.size()) return false;
        if (text_[pos_] == separator_) {
            ++pos_;
            return true;
        }
        skip_line_end();
        return false;
    }

    void skip_line_end() {
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
        ++line_;
    }

    // Line breaks inside a quoted field.
    void count_lines(std::size_t from, std::size_t to) {
        // From the first line break on; most fields hold none.
        const char* const begin = text_.data();
        from = static_cast<std::size_t>(find_either_byte(begin + from, begin + to, '\r', '\n') - begin);
        for (std::size_t i = from; i < to; ++i) {
            if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= to || text_[i + 1] != '\n'))) ++line_;
        }
    }

    std::string_view text_;
    char separator_;
    std::size_t pos_;
    int line_;
};

// ---------------------------------------------------------------------------
// Header lines and column names.

struct Header {
    int lines = 0;
    std::size_t data_start = 0;  // offset of the first line after the header
    char separator = 0;
    int html = -1;               // -1 not said
    std::string columns;         // the #columns value, unsplit
    int tags_column = 0, deck_column = 0;
    std::vector<int> ignored_columns;  // #notetype column, #guid column
};

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int column_number(std::string_view value) {
    value = trim(value);
    int n = 0;
    for (char c : value) {
        if (c < '0' || c > '9' || n > 1000) return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

char separator_from_name(std::string_view value) {
    const std::string v = ascii_lower(trim(value));
    if (v == "tab" || v == "\t") return '\t';
    if (v == "comma" || v == ",") return ',';
    if (v == "semicolon" || v == ";") return ';';
    if (v == "space" || v == " ") return ' ';
    if (v == "pipe" || v == "|") return '|';
    if (v == "colon" || v == ":") return ':';
    return v.size() == 1 ? v[0] : 0;
}

Header read_header(std::string_view text) {
    Header h;
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == '#') {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos + 1, end - pos - 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) break;
        const std::string key = ascii_lower(trim(line.substr(0, colon)));
        const std::string_view value = line.substr(colon + 1);
        if (key == "separator") h.separator = separator_from_name(value);
        else if (key == "html") h.html = ascii_lower(trim(value)) == "true" ? 1 : 0;
        else if (key == "columns") h.columns = std::string(value.substr(0, value.size() - (value.ends_with('\r') ? 1 : 0)));
        else if (key == "tags column") h.tags_column = column_number(value);
        else if (key == "deck column") h.deck_column = column_number(value);
        else if (key == "notetype column" || key == "guid column") h.ignored_columns.push_back(column_number(value));
        ++h.lines;
        pos = end < text.size() ? end + 1 : end;
    }
    h.data_start = pos;
    return h;
}

struct RoleName {
    ColumnRole role;
    std::string_view name;
};
// Names matched without regard to ASCII case.
constexpr RoleName kRoleNames[] = {
    {ColumnRole::question, "front"},        {ColumnRole::question, "question"},
    {ColumnRole::question, "問題"},         {ColumnRole::question, "表面"},
    {ColumnRole::question, "質問"},         {ColumnRole::question, "表"},
    {ColumnRole::question, "word"},         {ColumnRole::question, "term"},
    {ColumnRole::question, "単語"},         {ColumnRole::question, "用語"},
    {ColumnRole::answer, "back"},           {ColumnRole::answer, "answer"},
    {ColumnRole::answer, "答え"},           {ColumnRole::answer, "解答"},
    {ColumnRole::answer, "答"},             {ColumnRole::answer, "裏面"},
    {ColumnRole::answer, "裏"},             {ColumnRole::answer, "meaning"},
    {ColumnRole::answer, "definition"},     {ColumnRole::answer, "意味"},
    {ColumnRole::answer, "訳"},             {ColumnRole::tags, "tags"},
    {ColumnRole::tags, "tag"},              {ColumnRole::tags, "タグ"},
    {ColumnRole::title, "deck"},            {ColumnRole::title, "title"},
    {ColumnRole::title, "タイトル"},        {ColumnRole::title, "デッキ"},
    {ColumnRole::title_settings, "title settings"}, {ColumnRole::title_settings, "タイトルの設定"},
    {ColumnRole::history, "history"},       {ColumnRole::history, "正誤履歴"},
    {ColumnRole::history, "履歴"},          {ColumnRole::group, "group"},
    {ColumnRole::group, "グループ"},        {ColumnRole::group, "グループ番号"},
    {ColumnRole::answer_number, "answer number"}, {ColumnRole::answer_number, "解答番号"},
    {ColumnRole::comment, "comment"},       {ColumnRole::comment, "コメント"},
    {ColumnRole::comment, "notes"},         {ColumnRole::comment, "note"},
    {ColumnRole::comment, "メモ"},          {ColumnRole::comment, "備考"},
    {ColumnRole::ignore, "notetype"},       {ColumnRole::ignore, "guid"},
};

// The role a column name stands for; false for a name that is not known.
// The Japanese names are UTF-8 here: the file's text is, while the
// program's literals are code page 932.
bool role_of_name(std::string_view name, ColumnRole* role) {
    // The names as UTF-8, once.
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const RoleName& r : kRoleNames) out.push_back(cp932_to_utf8(std::string(r.name)));
        return out;
    }();
    name = trim(name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (equal_ignoring_case(name, names[i])) {
            *role = kRoleNames[i].role;
            return true;
        }
    }
    return false;
}

std::vector<std::string> split(std::string_view s, char separator) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = s.find(separator, start);
        out.emplace_back(trim(s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

char detect_separator(std::string_view text, std::size_t pos) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    int tabs = 0, commas = 0, semicolons = 0;
    bool quoted = false;
    for (std::size_t i = pos; i < end; ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == '\t') ++tabs;
        else if (c == ',') ++commas;
        else if (c == ';') ++semicolons;
    }
    if (tabs) return '\t';
    if (commas >= semicolons && commas) return ',';
    return semicolons ? ';' : '\t';
}

// ---------------------------------------------------------------------------
// Field values.

const char* const kRefusedEncoding = "文字コードとして読めないバイトがあります（%s として読んでいます）。";

std::string html_to_text(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    // Where the break of the last <br> or <div> ends: a line break of the
    // text right after it is the same break, written for the eye.
    std::size_t tag_break = std::string::npos;
    const char* const begin = html.data();
    const char* const end = begin + html.size();
    for (std::size_t i = 0; i < html.size();) {
        // Text up to the next line break, tag or entity is copied whole.
        if (const char* const stop = find_any_byte(begin + i, end, "\r\n<&"); stop != begin + i) {
            out.append(begin + i, stop);
            i = static_cast<std::size_t>(stop - begin);
            if (stop == end) break;
        }
        const char c = html[i];
        if (c == '\r' || c == '\n') {
            i += c == '\r' && i + 1 < html.size() && html[i + 1] == '\n' ? 2 : 1;
            if (out.size() != tag_break) out += "\r\n";
            tag_break = std::string::npos;
            continue;
        }
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string_view::npos) {
                out.append(html.substr(i));
                break;
            }
            const std::string tag = ascii_lower(html.substr(i + 1, close - i - 1));
            if (tag.starts_with("br") || (tag.starts_with("div") && !out.empty())) {
                out += "\r\n";
                tag_break = out.size();
            } else if (tag.starts_with("img")) {
                const std::size_t src = tag.find("src=");
                if (src != std::string::npos && src + 4 < tag.size()) {
                    const char quote = tag[src + 4];
                    const std::size_t from = src + 4 + (quote == '"' || quote == '\'' ? 1 : 0);
                    std::size_t to = quote == '"' || quote == '\'' ? tag.find(quote, from)
                                                                   : tag.find_first_of(" /", from);
                    if (to == std::string::npos) to = tag.size();
                    // The path as written (the lower-cased copy only finds it).
                    out += "\\i\"";
                    out += html_to_text(html.substr(i + 1 + from, to - from));
                    out += '"';
                }
            }
            i = close + 1;
            continue;
        }
        if (c == '&') {
            const std::size_t semi = html.find(';', i);
            if (semi != std::string_view::npos && semi - i <= 10) {
                const std::string_view name = html.substr(i + 1, semi - i - 1);
                char32_t u = 0;
                if (name == "amp") u = '&';
                else if (name == "lt") u = '<';
                else if (name == "gt") u = '>';
                else if (name == "quot") u = '"';
                else if (name == "apos") u = '\'';
                else if (name == "nbsp") u = ' ';
                else if (name.size() > 1 && name[0] == '#') {
                    const bool hex = name[1] == 'x' || name[1] == 'X';
                    for (char d : name.substr(hex ? 2 : 1)) {
                        const int v = d >= '0' && d <= '9' ? d - '0'
                                      : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                                      : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10 : -1;
                        if (v < 0 || u > 0x10FFFF) { u = 0; break; }
                        u = u * (hex ? 16 : 10) + static_cast<char32_t>(v);
                    }
                    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) u = 0;
                }
                if (u) {
                    append_utf8(out, u);
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

// Line breaks as a shown text holds them: CR LF.
// The field itself when it has none to change, else `room` filled with the
// changed text.
std::string_view crlf_breaks(std::string_view field, std::string& room) {
    const char* const begin = field.data();
    const char* const end = begin + field.size();
    const char* p = find_either_byte(begin, end, '\r', '\n');
    if (p == end) return field;
    room.assign(begin, p);
    for (; p != end; ++p) {
        if (*p == '\r' || *p == '\n') {
            room += "\r\n";
            if (*p == '\r' && p + 1 != end && p[1] == '\n') ++p;
        } else {
            room += *p;
        }
    }
    return room;
}

bool has_picture(std::string_view text) { return text.find("\\i\"") != std::string_view::npos; }

// A digit 0-9, half- or full-width; -1 otherwise.
int digit_value(std::string_view v) {
    v = trim(v);
    if (v.size() == 1 && v[0] >= '0' && v[0] <= '9') return v[0] - '0';
    if (v.size() == 3 && v.substr(0, 2) == "\xEF\xBC" && static_cast<unsigned char>(v[2]) >= 0x90 &&
        static_cast<unsigned char>(v[2]) <= 0x99)
        return static_cast<unsigned char>(v[2]) - 0x90;
    return -1;
}

// "○×○○×" (mark 1 first) or 0-31; -1 otherwise.
int history_value(std::string_view v) {
    v = trim(v);
    if (v.empty()) return 0;
    if (!v.empty() && v.size() <= 2 && std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int n = v.size() == 1 ? v[0] - '0' : (v[0] - '0') * 10 + (v[1] - '0');
        return n <= 31 ? n : -1;
    }
    int value = 0, marks = 0;
    for (std::size_t i = 0; i < v.size();) {
        std::size_t length = 0;
        const char32_t c = next_code_point(v, i, &length);
        i += length;
        bool right;
        if (c == U'○' || c == U'◯' || c == 'o' || c == 'O') right = true;
        else if (c == U'×' || c == U'✕' || c == 'x' || c == 'X') right = false;
        else return -1;
        if (marks == 5) return -1;
        if (right) value |= 1 << marks;
        ++marks;
    }
    return marks == 5 ? value : -1;
}

// "CFFFFF" (shorter digit strings are taken as numbers a spreadsheet cut
// the leading zeros of), then optionally "'" and the title's comment.
bool title_settings_value(std::string_view v, TitleFields& title, std::string& comment) {
    const std::size_t apostrophe = v.find('\'');
    std::string digits(trim(v.substr(0, apostrophe)));
    if (apostrophe != std::string_view::npos) comment = std::string(v.substr(apostrophe + 1));
    if (digits.empty()) return apostrophe != std::string_view::npos || v.empty();
    if (digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    digits.insert(0, 6 - digits.size(), '0');
    title.choice_count = digits[0] - '0';
    for (int i = 0; i < 5; ++i) {
        if (digits[i + 1] > '1') return false;
        title.flags[i] = digits[i + 1] == '1';
    }
    return true;
}

// "○×○○×" (mark 1 first, as the question pane shows them), in UTF-8
// whatever the program's literals are.
std::string marks_utf8(int history) {
    std::string out;
    for (int i = 0; i < 5; ++i) out += (history >> i) & 1 ? "\xE2\x97\x8B" : "\xC3\x97";
    return out;
}

// A field of a row written onto `out`: quoted when a reader would otherwise
// take it apart, trim its blanks or read a first field as a header line.
void append_csv_field(std::string& out, std::string_view value, char separator, bool first) {
    const char* const begin = value.data();
    const char* const end = begin + value.size();
    const char specials[] = {separator, '"', '\r', '\n'};
    const bool special = find_any_byte(begin, end, std::string_view(specials, sizeof specials)) != end;
    const bool quote = special || (first && value.starts_with('#')) ||
                       (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                                            value.back() == '\t'));
    if (!quote) {
        out += value;
        return;
    }
    out += '"';
    // A quote inside is doubled.
    for (const char* p = begin; p != end;) {
        const char* const q = find_byte(p, end, '"');
        out.append(p, q);
        if (q == end) break;
        out += "\"\"";
        p = q + 1;
    }
    out += '"';
}

}  // namespace

bool column_role_from_name(std::string_view name, ColumnRole* role) {
    std::string key = ascii_lower(trim(name));
    if (key == "ignore" || key == "-" || key == "none") {
        *role = ColumnRole::ignore;
        return true;
    }
    const std::string cp932 = utf8_to_cp932(key);
    for (int r = 0; r < kColumnRoles; ++r) {
        if (cp932 == column_role_label(static_cast<ColumnRole>(r)) ||
            (r > 0 && key == ascii_lower(column_role_name(static_cast<ColumnRole>(r))))) {
            *role = static_cast<ColumnRole>(r);
            return true;
        }
    }
    std::replace(key.begin(), key.end(), '-', ' ');
    std::replace(key.begin(), key.end(), '_', ' ');
    return role_of_name(key, role);
}

const char* column_role_label(ColumnRole role) {
    static constexpr const char* kLabels[kColumnRoles] = {
        "（読み込まない）", "問題", "答え", "タグ（グループ名）", "タイトル", "タイトルの設定",
        "正誤履歴", "グループ番号", "解答番号", "コメント"};
    return kLabels[static_cast<int>(role)];
}

const char* column_role_name(ColumnRole role) {
    static constexpr const char* kNames[kColumnRoles] = {
        "", "Front", "Back", "Tags", "Deck", "Title settings", "History", "Group", "Answer number", "Comment"};
    return kNames[static_cast<int>(role)];
}

namespace {

// The columns an export writes, in order.
constexpr ColumnRole kExportColumns[] = {
    ColumnRole::question, ColumnRole::answer,  ColumnRole::tags,          ColumnRole::title,
    ColumnRole::title_settings, ColumnRole::history, ColumnRole::group, ColumnRole::answer_number,
    ColumnRole::comment};

// Whether the #columns names are the ones an export of this program writes.
bool names_of_export(const std::vector<std::string>& names) {
    if (names.size() != std::size(kExportColumns)) return false;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] != column_role_name(kExportColumns[i])) return false;
    return true;
}

// A number as a spreadsheet holds one: digits with an optional sign, point
// or separators ("12", "-3.5", "1,200"), full-width digits too.
bool is_number(std::string_view v) {
    v = trim(v);
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) v.remove_prefix(1);
    bool digit = false;
    for (std::size_t i = 0; i < v.size();) {
        std::size_t length = 0;
        const char32_t c = next_code_point(v, i, &length);
        i += length;
        if ((c >= '0' && c <= '9') || (c >= 0xFF10 && c <= 0xFF19)) digit = true;
        else if (c != '.' && c != ',') return false;
    }
    return digit;
}

// What kind of value a cell holds, for telling names from data.
enum class CellShape { empty, number, ascii, other };

CellShape cell_shape(std::string_view v) {
    v = trim(v);
    if (v.empty()) return CellShape::empty;
    if (is_number(v)) return CellShape::number;
    return std::all_of(v.begin(), v.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })
               ? CellShape::ascii
               : CellShape::other;
}

// The first rows of a file that are not empty, their fields one after
// another: a table of a few allocations, however many rows it holds.
class FirstRows {
public:
    void add(const Record& record) {
        for (std::size_t end : record.ends) ends_.push_back(bytes_.size() + end);
        bytes_ += record.bytes;
        rows_.push_back(ends_.size());
    }
    // Once every row is in.
    void finish() {
        for (std::size_t i = 0; i < ends_.size(); ++i) {
            const std::size_t from = i ? ends_[i - 1] : 0;
            cells_.push_back(std::string_view(bytes_).substr(from, ends_[i] - from));
        }
    }
    std::size_t size() const { return rows_.size(); }
    std::span<const std::string_view> operator[](std::size_t r) const {
        const std::size_t begin = r ? rows_[r - 1] : 0;
        return {cells_.data() + begin, rows_[r] - begin};
    }

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;  // past each field, in bytes_
    std::vector<std::size_t> rows_;  // past each row's last field
    std::vector<std::string_view> cells_;
};

// Whether the first row names the columns, seen as a person sees it when no
// name is a known one: each of its cells a short name (none empty, none a
// number, none found again in its column below), and either a column of
// numbers under a name, or no row below of the same shape.
bool names_by_shape(const FirstRows& rows) {
    if (rows.size() < 2) return false;
    const std::span<const std::string_view> first = rows[0];
    std::vector<CellShape> shape;
    for (std::size_t c = 0; c < first.size(); ++c) {
        const std::string_view name = trim(first[c]);
        shape.push_back(cell_shape(name));
        if (name.empty() || name.size() > 40 || shape.back() == CellShape::number ||
            name.find_first_of("\r\n") != std::string_view::npos)
            return false;
        for (std::size_t r = 1; r < rows.size(); ++r)
            if (c < rows[r].size() && trim(rows[r][c]) == name) return false;
    }
    for (std::size_t c = 0; c < first.size(); ++c) {
        int numbers = 0, others = 0;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const CellShape s = c < rows[r].size() ? cell_shape(rows[r][c]) : CellShape::empty;
            if (s != CellShape::empty) ++(s == CellShape::number ? numbers : others);
        }
        if (numbers > 0 && others == 0) return true;
    }
    if (rows.size() < 3) return false;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::span<const std::string_view> d = rows[r];
        if (d.size() != first.size()) continue;
        bool same_shape = true;
        for (std::size_t c = 0; c < first.size() && same_shape; ++c) same_shape = cell_shape(d[c]) == shape[c];
        if (same_shape) return false;
    }
    return true;
}

// Columns past the last one that holds a value are no columns.
std::size_t used_width(std::span<const std::string_view> fields) {
    std::size_t width = fields.size();
    while (width > 1 && trim(fields[width - 1]).empty()) --width;
    return width;
}

}  // namespace

DelimitedLayout detect_delimited(std::string_view bytes, const DelimitedChoice& choice) {
    // The first rows are enough; a megabyte holds them.
    const TextEncoding encoding = choice.encoding ? *choice.encoding : detect_encoding(bytes);
    return detect_delimited(decode_text(bytes.substr(0, 1 << 20), encoding), encoding, choice);
}

DelimitedLayout detect_delimited(const DecodedText& decoded, TextEncoding encoding, const DelimitedChoice& choice) {
    DelimitedLayout layout;
    layout.encoding = encoding;
    const std::string_view text = decoded.text;
    const Header header = read_header(text);
    layout.header_lines = header.lines;
    layout.html = header.html == 1;
    layout.separator_from_header = header.separator != 0;
    layout.separator = choice.separator ? *choice.separator
                       : header.separator ? header.separator
                                          : detect_separator(text, header.data_start);

    std::size_t width = 0;
    if (!header.columns.empty()) {
        layout.names = split(header.columns, layout.separator);
        layout.own_export = names_of_export(layout.names);
    } else {
        // The first rows: how many columns, and whether the first names them.
        RecordReader reader(text, layout.separator, header.data_start, header.lines + 1);
        constexpr std::size_t kRows = 50;
        FirstRows rows;
        Record record;
        while (rows.size() < kRows && reader.next(record))
            if (!record.empty()) rows.add(record);
        rows.finish();
        // The widest of the first rows says how many columns a row has,
        // unless the first names them.
        for (std::size_t r = 0; r < rows.size(); ++r)
            width = std::max(width, std::max(used_width(rows[r]), rows[0].size()));
        if (rows.size() != 0) {
            ColumnRole role;
            const std::span<const std::string_view> first = rows[0];
            const bool named = std::any_of(first.begin(), first.end(),
                                           [&](std::string_view f) { return role_of_name(f, &role); });
            layout.names_row = choice.names_row ? *choice.names_row : named || names_by_shape(rows);
            if (layout.names_row)
                for (std::string_view name : first) layout.names.emplace_back(name);
        }
    }
    layout.answer_syntax = choice.answer_syntax ? *choice.answer_syntax : layout.own_export;
    // Named columns are all there are: a row with more is refused.
    if (!layout.names.empty()) width = layout.names.size();
    layout.columns.assign(std::max<std::size_t>(width, 1), ColumnRole::ignore);
    layout.unassigned.assign(layout.columns.size(), true);

    if (choice.columns) {
        for (std::size_t i = 0; i < choice.columns->size() && i < layout.columns.size(); ++i) {
            layout.columns[i] = (*choice.columns)[i];
            layout.unassigned[i] = false;
        }
        return layout;
    }
    bool by_name = false;
    for (std::size_t i = 0; i < layout.names.size() && i < layout.columns.size(); ++i) {
        ColumnRole role;
        // This program's own export names its columns in a known order.
        if (layout.own_export) role = kExportColumns[i];
        else if (!role_of_name(layout.names[i], &role)) continue;
        layout.columns[i] = role;
        layout.unassigned[i] = false;
        by_name = by_name || role == ColumnRole::question || role == ColumnRole::answer;
    }
    auto set = [&](int column, ColumnRole role) {
        if (column >= 1 && column <= static_cast<int>(layout.columns.size())) {
            layout.columns[column - 1] = role;
            layout.unassigned[column - 1] = false;
        }
    };
    set(header.tags_column, ColumnRole::tags);
    set(header.deck_column, ColumnRole::title);
    for (int column : header.ignored_columns) set(column, ColumnRole::ignore);
    if (!by_name) {
        // Question and answer in the first two columns the header left free.
        int given = 0;
        for (std::size_t i = 0; i < layout.columns.size() && given < 2; ++i) {
            const int number = static_cast<int>(i) + 1;
            if (number == header.tags_column || number == header.deck_column ||
                std::find(header.ignored_columns.begin(), header.ignored_columns.end(), number) !=
                    header.ignored_columns.end())
                continue;
            layout.columns[i] = given++ == 0 ? ColumnRole::question : ColumnRole::answer;
            layout.unassigned[i] = false;
        }
    }
    return layout;
}

namespace {

// Positions the reader at the first row to read as a card.
RecordReader rows_reader(std::string_view text, const DelimitedLayout& layout) {
    const Header header = read_header(text);
    RecordReader reader(text, layout.separator, header.data_start, header.lines + 1);
    if (layout.names_row) {
        Record names;
        while (reader.next(names) && names.empty()) {
        }
    }
    return reader;
}

}  // namespace

std::vector<std::vector<std::string>> delimited_rows(std::string_view bytes, const DelimitedLayout& layout,
                                                     int limit) {
    const DecodedText decoded = decode_text(bytes.substr(0, 1 << 20), layout.encoding);
    RecordReader reader = rows_reader(decoded.text, layout);
    std::vector<std::vector<std::string>> rows;
    Record record;
    while (static_cast<int>(rows.size()) < limit && reader.next(record)) {
        if (record.empty()) continue;
        std::vector<std::string>& fields = rows.emplace_back();
        for (std::size_t i = 0; i < record.size(); ++i) fields.emplace_back(record[i]);
    }
    return rows;
}

ImportResult read_delimited(std::string_view bytes, const DelimitedLayout& layout, const GroupNames& groups) {
    return read_delimited(decode_text(bytes, layout.encoding), layout, groups);
}

ImportResult read_delimited(const DecodedText& decoded, const DelimitedLayout& layout, const GroupNames& groups) {
    ImportResult result;
    result.encoding = layout.encoding;
    const std::string_view text = decoded.text;
    RecordReader reader = rows_reader(text, layout);
    result.cards.reserve(count_byte(text.data(), text.data() + text.size(), '\n') + 1);

    const auto& roles = layout.columns;
    const auto& unassigned = layout.unassigned;
    auto column_of = [&](ColumnRole role) {
        const auto it = std::find(roles.begin(), roles.end(), role);
        return it == roles.end() ? -1 : static_cast<int>(it - roles.begin());
    };
    const int question_column = column_of(ColumnRole::question);
    // A row must reach the question's and the answer's columns.
    const int needed = std::max(question_column, column_of(ColumnRole::answer));
    const bool group_column = column_of(ColumnRole::group) >= 0;
    // Tags as group names: each name with its spaces as '_', made when a
    // row first has tags.
    std::array<std::string, 10> tags;
    bool tags_made = false;
    std::vector<std::string> unknown_tags;

    // Unassigned columns that hold a value somewhere.
    std::vector<bool> unread(roles.size(), false);
    std::size_t next_bad = 0;
    Record record;
    std::vector<ImportProblem> problems;
    std::string converted;  // a field's text when it is not the field's bytes
    while (reader.next(record)) {
        const int row = record.line;
        auto refuse = [&](int column, std::string reason) {
            result.problems.push_back({ImportProblem::refused, row, column, std::move(reason)});
        };
        bool bad_bytes = false;
        while (next_bad < decoded.bad.size() && decoded.bad[next_bad] < record.end) {
            bad_bytes = bad_bytes || decoded.bad[next_bad] >= record.begin;
            ++next_bad;
        }
        if (record.unterminated) {
            refuse(0, "引用符 (\") が閉じていません。ここからファイルの終わりまでを読み込めません。");
            break;
        }
        if (record.empty()) continue;
        if (bad_bytes) {
            char reason[160];
            std::snprintf(reason, sizeof reason, kRefusedEncoding, encoding_name(layout.encoding));
            refuse(0, reason);
            continue;
        }
        if (text.substr(record.begin, record.end - record.begin).find("\xEF\xBB\xBF") != std::string_view::npos) {
            refuse(0, "途中にバイトオーダーマーク (U+FEFF) があります。");
            continue;
        }
        const std::size_t width = record.size();
        if (width > roles.size()) {
            bool extra = false;
            for (std::size_t c = roles.size(); c < width && !extra; ++c) extra = !trim(record[c]).empty();
            if (extra) {
                refuse(0, "列が多すぎます（" + format_decimal(static_cast<int>(width)) + " 列、読み込むのは " +
                              format_decimal(static_cast<int>(roles.size())) + " 列）。区切り文字が違うかもしれません。");
                continue;
            }
        }
        if (question_column < 0 || static_cast<int>(width) <= needed) {
            refuse(0, "列が足りません（" + format_decimal(static_cast<int>(width)) +
                          " 列）。区切り文字が違うかもしれません。");
            continue;
        }

        ExchangeCard card;
        card.row = row;
        problems.clear();
        bool ok = true;
        std::string tag_text;
        for (std::size_t c = 0; c < width && c < roles.size() && ok; ++c) {
            const ColumnRole role = roles[c];
            if (role == ColumnRole::ignore) {
                if (c < unassigned.size() && unassigned[c] && !trim(record[c]).empty()) unread[c] = true;
                continue;
            }
            const int column = static_cast<int>(c) + 1;
            // A line break is one in HTML too, as <br> is.
            std::string_view value;
            if (layout.html) value = converted = html_to_text(record[c]);
            else value = crlf_breaks(record[c], converted);
            std::string cp932;
            auto text_field = [&](std::string& out) {
                ok = field_to_cp932(value, row, column, out, problems);
            };
            switch (role) {
            case ColumnRole::ignore: break;
            case ColumnRole::question: text_field(card.fields.question); break;
            case ColumnRole::answer:
                text_field(card.fields.answer);
                // Another program's text: its brackets are no syntax.
                if (ok && !layout.answer_syntax) card.fields.answer = answer_from_text(card.fields.answer);
                break;
            case ColumnRole::comment:
                // Blanks a quoted field holds are the comment's; an unquoted
                // field has lost its blanks already.
                if (value.empty()) break;
                text_field(cp932);
                if (!card.fields.comment.empty()) card.fields.comment += " / ";
                card.fields.comment += cp932;
                break;
            case ColumnRole::tags: tag_text = value; break;
            case ColumnRole::title:
                text_field(card.title.title);
                card.titled = !card.title.title.empty();
                break;
            case ColumnRole::title_settings: {
                std::string comment;
                if (!title_settings_value(value, card.title, comment)) {
                    problems.push_back({ImportProblem::refused, row, column,
                                        "タイトルの設定が読めません（選択肢の数 1 桁とフラグ 5 桁、例 \"400000\"）。"});
                    ok = false;
                    break;
                }
                ok = field_to_cp932(comment, row, column, card.title.comment, problems);
                break;
            }
            case ColumnRole::history:
                card.fields.history = history_value(value);
                if (card.fields.history < 0) {
                    problems.push_back({ImportProblem::refused, row, column,
                                        "正誤履歴が読めません（\"○×○○×\" のような 5 つの印か 0～31）。"});
                    ok = false;
                }
                break;
            case ColumnRole::group:
            case ColumnRole::answer_number: {
                const int v = trim(value).empty() ? 0 : digit_value(value);
                if (v < 0) {
                    problems.push_back({ImportProblem::refused, row, column,
                                        role == ColumnRole::group ? "グループ番号は 0～9 です。"
                                                                  : "解答番号は 0～9 です。"});
                    ok = false;
                }
                (role == ColumnRole::group ? card.fields.group : card.fields.answer_number) = v;
                break;
            }
            }
        }
        if (ok && card.fields.question.empty()) {
            problems.push_back({ImportProblem::refused, row, question_column + 1, "問題が空です。"});
            ok = false;
        }
        if (!ok) {
            // Only the refusal is told: the row is not taken at all.
            for (ImportProblem& p : problems)
                if (p.kind == ImportProblem::refused) result.problems.push_back(std::move(p));
            continue;
        }
        if (!group_column && !tag_text.empty()) {
            if (!tags_made) {
                for (int g = 1; g < 10; ++g) tags[g] = group_tag(groups[g]);
                tags_made = true;
            }
            bool matched = false;
            std::vector<std::string> row_unknown;
            for (const std::string& tag : split(tag_text, ' ')) {
                if (tag.empty() || matched) continue;
                const std::string cp932 = utf8_to_cp932(tag);
                const int digit = digit_value(tag);
                for (int g = 1; g < 10 && !matched; ++g) {
                    if (cp932 == tags[g] || digit == g) {
                        card.fields.group = g;
                        matched = true;
                    }
                }
                if (!matched) row_unknown.push_back(cp932);
            }
            if (!matched) {
                for (std::string& tag : row_unknown) {
                    if (std::find(unknown_tags.begin(), unknown_tags.end(), tag) != unknown_tags.end()) continue;
                    problems.push_back({ImportProblem::notice, row, column_of(ColumnRole::tags) + 1,
                                        "タグ「" + tag + "」と同じ名前のグループがないため、グループ全般にします。"});
                    unknown_tags.push_back(std::move(tag));
                }
            }
        }
        for (ImportProblem& p : problems) result.problems.push_back(std::move(p));
        result.cards.push_back(std::move(card));
    }
    for (std::size_t c = 0; c < unread.size(); ++c) {
        if (!unread[c]) continue;
        std::string name;
        if (c < layout.names.size() && !trim(layout.names[c]).empty())
            name = "（" + utf8_to_cp932(trim(layout.names[c])) + "）";
        result.problems.push_back(
            {ImportProblem::notice, 0, static_cast<int>(c) + 1,
             "この列" + name + "には値がありますが、役割がないため読み込みません。役割に「" +
                 column_role_label(ColumnRole::comment) + "」を選ぶと問題のコメントとして読み込みます。"});
        ++result.unread_columns;
    }
    return result;
}

ExportResult write_delimited(const std::vector<ExchangeCard>& cards, ExchangeFormat format,
                             const ExportOptions& options) {
    ExportResult result;
    const char sep = format == ExchangeFormat::csv ? ',' : '\t';
    const bool html = std::any_of(cards.begin(), cards.end(), [](const ExchangeCard& c) {
        return has_picture(c.fields.question) || has_picture(c.fields.answer) || has_picture(c.fields.comment);
    });
    std::string out;
    out.reserve(cards.size() * 64 + 256);
    out += sep == ',' ? "#separator:Comma\r\n" : "#separator:Tab\r\n";
    out += html ? "#html:true\r\n" : "#html:false\r\n";
    out += "#columns:";
    for (ColumnRole role : kExportColumns) {
        if (role != kExportColumns[0]) out += sep;
        out += column_role_name(role);
    }
    out += "\r\n#tags column:3\r\n#deck column:4\r\n";

    auto text = [&](const std::string& cp932) {
        std::string utf8 = cp932_to_utf8(cp932, &result.undecodable);
        return html ? text_to_html(utf8) : utf8;
    };
    std::string title, settings;
    for (const ExchangeCard& card : cards) {
        title.clear();
        settings.clear();
        if (card.titled) {
            title = text(card.title.title);
            settings.assign(1, static_cast<char>('0' + std::clamp(card.title.choice_count, 0, 9)));
            for (bool flag : card.title.flags) settings += flag ? '1' : '0';
            if (!card.title.comment.empty()) settings += '\'' + text(card.title.comment);
        }
        const std::string fields[] = {
            text(card.fields.question),
            text(card.fields.answer),
            cp932_to_utf8(card.group_tag, &result.undecodable),
            title,
            settings,
            marks_utf8(card.fields.history),
            format_decimal(std::clamp(card.fields.group, 0, 9)),
            format_decimal(std::clamp(card.fields.answer_number, 0, 9)),
            text(card.fields.comment)};
        bool first = true;
        for (const std::string& f : fields) {
            if (!first) out += sep;
            append_csv_field(out, f, sep, first);
            first = false;
        }
        out += "\r\n";
        ++result.cards;
    }
    result.bytes = encode_text(out, options.encoding);
    return result;
}

}  // namespace qz
