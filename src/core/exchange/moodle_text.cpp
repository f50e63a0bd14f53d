#include "core/exchange/moodle_text.h"

#include <algorithm>

#include "core/syntax/scan.h"

namespace qz {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

int hex_digit(char d) {
    const char l = static_cast<char>(d | 0x20);
    return d >= '0' && d <= '9' ? d - '0' : l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

// "%XX" undone, unless that gives no valid UTF-8 (the path is kept then).
std::string percent_decoded(std::string_view path) {
    std::string out;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && hex_digit(path[i + 1]) >= 0 && hex_digit(path[i + 2]) >= 0) {
            out += static_cast<char>(hex_digit(path[i + 1]) * 16 + hex_digit(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    for (std::size_t i = 0, length = 0; i < out.size(); i += length)
        if (next_code_point(out, i, &length) == 0xFFFD) return std::string(path);
    return out;
}

// The value of attribute `name` of a tag (its text between "<" and ">"),
// as written; false when it has none.
bool attribute(std::string_view tag, std::string_view name, std::string_view* value) {
    const std::string low = lower(tag);
    for (std::size_t at = low.find(name); at != std::string::npos; at = low.find(name, at + 1)) {
        if (at == 0 || !blank(low[at - 1])) continue;
        std::size_t i = at + name.size();
        while (i < low.size() && blank(low[i])) ++i;
        if (i >= low.size() || low[i] != '=') continue;
        ++i;
        while (i < low.size() && blank(low[i])) ++i;
        if (i >= low.size()) return false;
        const char quote = low[i];
        if (quote == '"' || quote == '\'') {
            const std::size_t end = low.find(quote, i + 1);
            *value = tag.substr(i + 1, (end == std::string::npos ? low.size() : end) - i - 1);
        } else {
            std::size_t end = i;
            while (end < low.size() && !blank(low[end]) && low[end] != '>') ++end;
            *value = tag.substr(i, end - i);
            if (value->ends_with('/')) value->remove_suffix(1);
        }
        return true;
    }
    return false;
}

// The character a reference ("amp", "#60", "#x3C") stands for, 0 for none.
char32_t character_reference(std::string_view name) {
    static constexpr std::pair<std::string_view, char32_t> kEntities[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", ' '}};
    for (auto [entity, value] : kEntities)
        if (name == entity) return value;
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    char32_t u = 0;
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    for (char d : digits) {
        const int v = hex ? hex_digit(d) : d >= '0' && d <= '9' ? d - '0' : -1;
        if (v < 0 || u > 0x10FFFF) return 0;
        u = u * (hex ? 16 : 10) + static_cast<char32_t>(v);
    }
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return 0;
    return u == 0xA0 ? ' ' : u;
}

}  // namespace

std::string no_break_spaces_as_spaces(std::string text) {
    std::size_t at = text.find("\xC2\xA0");
    if (at == std::string::npos) return text;
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (; at != std::string::npos; at = text.find("\xC2\xA0", from)) {
        out.append(text, from, at - from);
        out += ' ';
        from = at + 2;
    }
    out.append(text, from);
    return out;
}

std::string html_shown_text(std::string_view html, HtmlPictures* pictures) {
    std::string out;
    out.reserve(html.size());
    // The next '>' once looked for (npos when there is none left), so that
    // many '<' without one are no search each; a reference is at most 10
    // characters long, no search beyond.
    std::size_t next_gt = 0;
    bool looked = false;
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<' && (!looked || (next_gt != std::string_view::npos && next_gt < i))) {
            next_gt = html.find('>', i);
            looked = true;
        }
        const std::size_t close = c == '<'   ? next_gt
                                  : c == '&' ? html.substr(0, i + 11).find(';', i)
                                             : std::string_view::npos;
        if (c == '<' && close != std::string_view::npos) {
            const std::string_view tag = html.substr(i + 1, close - i - 1);
            const std::string low = lower(tag);
            const std::string name = low.substr(0, low.find_first_of(" \t\r\n/", 1));
            if (name == "br" || name == "/p" || name == "/div" || name == "/li" || name == "/tr" ||
                (name.size() == 3 && name[0] == '/' && name[1] == 'h' && name[2] >= '1' && name[2] <= '6')) {
                out += "\r\n";
            } else if (name == "img") {
                std::string_view src;
                std::string path = attribute(tag, "src", &src) ? html_shown_text(src) : std::string();
                bool bank = false;
                if (path.starts_with("@@PLUGINFILE@@/")) {
                    path = percent_decoded(std::string_view(path).substr(15));
                    bank = true;
                }
                if (path.empty() || path.find_first_of("\"\r\n") != std::string::npos) {
                    if (pictures) ++pictures->dropped;
                } else {
                    out += "\\i\"" + path + '"';
                    if (pictures) {
                        ++pictures->kept;
                        pictures->bank_files += bank;
                    }
                }
            }
            i = close + 1;
            continue;
        }
        if (c == '&' && close != std::string_view::npos) {
            if (const char32_t u = character_reference(html.substr(i + 1, close - i - 1))) {
                append_utf8(out, u);
                i = close + 1;
                continue;
            }
        }
        if (c == '\xC2' && i + 1 < html.size() && html[i + 1] == '\xA0') {
            out += ' ';
            i += 2;
            continue;
        }
        out += c;
        ++i;
    }
    return std::string(trim(out));
}

int titles_short_of_choices(const std::vector<ExchangeCard>& cards) {
    int short_titles = 0;
    for (auto [begin, end] : title_runs(cards)) {
        const ExchangeCard& first = cards[begin];
        const int choices = first.titled ? first.title.choice_count : 0;
        if (choices > 1 && distinct_answers(cards, begin, end) < choices) ++short_titles;
    }
    return short_titles;
}

void tell_drawn_choices(ImportResult& result) {
    const bool choices = std::any_of(result.cards.begin(), result.cards.end(),
                                     [](const ExchangeCard& c) { return c.titled && c.title.choice_count > 1; });
    if (!choices) return;
    std::string reason =
        "選択肢のある問題は正解だけを読み込みます。"
        "誤りの選択肢は、クイズが同じタイトルのほかの問題の答えから選びます。";
    if (const int short_titles = titles_short_of_choices(result.cards))
        reason += "違う答えが選択肢の数に足りないタイトルが " + format_decimal(short_titles) +
                  " 個あります。";
    result.problems.insert(result.problems.begin(), {ImportProblem::notice, 0, 0, std::move(reason)});
}

}  // namespace qz
