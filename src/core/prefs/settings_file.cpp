#include "core/prefs/settings_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/document/data_file.h"
#include "core/document/recovery.h"
#include "core/syntax/scan.h"

namespace qz {

namespace {

// Keys of the [Window] section after "Show", in file order.
struct WindowKey {
    const char* key;
    int Preferences::*field;
};
constexpr WindowKey kWindowKeys[] = {
    {"Left", &Preferences::Left},
    {"Top", &Preferences::Top},
    {"Width", &Preferences::Width},
    {"Height", &Preferences::Height},
    {"ListWidth", &Preferences::ListWidth},
    {"AnswerTop", &Preferences::AnswerTop},
    {"HistoryTop", &Preferences::HistoryTop},
    {"MessageHeight", &Preferences::MessageHeight},
    {"ListColumnLine", &Preferences::ListColumnLine},
    {"ListColumnType", &Preferences::ListColumnType},
    {"ListColumnData", &Preferences::ListColumnData},
};

// One-byte keys of the [Option] section; a value outside [min, max] is
// ignored, one inside keeps its low byte.
struct ByteKey {
    const char* key;
    std::uint8_t Preferences::*field;
    int min;
    int max;
};
constexpr ByteKey kOptionKeys[] = {
    {"Flags", &Preferences::Flags, INT_MIN, INT_MAX},
    {"UseDataSettings", &Preferences::UseDataSettings, INT_MIN, INT_MAX},
    {"IMETitle", &Preferences::IMETitle, IME_LEAVE, IME_CLOSE},
    {"IMEQuestion", &Preferences::IMEQuestion, IME_LEAVE, IME_CLOSE},
    {"IMEAnswer", &Preferences::IMEAnswer, IME_LEAVE, IME_CLOSE},
    {"IMEComment", &Preferences::IMEComment, IME_LEAVE, IME_CLOSE},
    {"ExportFormat", &Preferences::ExportFormat, 0, 3},
    {"ExportEncoding", &Preferences::ExportEncoding, 0, 2},
};

// The saved font records: each is stored under its prefix + "Name",
// "Size", "Color", "BackColor" and "CharSet" (the style is not saved).
struct FontKey {
    const char* prefix;
    FontSpec Preferences::*font;
};
constexpr FontKey kFontKeys[] = {
    {"Title", &Preferences::Title},       {"Question", &Preferences::Question},
    {"Answer", &Preferences::Answer},     {"Comment", &Preferences::Comment},
    {"NumTitle", &Preferences::NumTitle}, {"NumQuestion", &Preferences::NumQuestion},
};

// Integer keys of the [Print] section, split around the two format texts.
struct PrintKey {
    const char* key;
    int PrintSettings::*field;
    int min;
    int max;
};
constexpr PrintKey kPrintKeysBefore[] = {
    {"PrintFlags", &PrintSettings::PrintFlags, INT_MIN, INT_MAX},
    {"TitlePosition", &PrintSettings::TitlePosition, INT_MIN, INT_MAX},
    {"AnswerPosition", &PrintSettings::AnswerPosition, INT_MIN, INT_MAX},
};
constexpr PrintKey kPrintKeysAfter[] = {
    {"QuestionRate", &PrintSettings::QuestionRate, 0, 100},
    {"ItemPosition", &PrintSettings::ItemPosition, 0, 1},
    {"LineSpace", &PrintSettings::LineSpace, 0, 999},
    {"QTStyle", &PrintSettings::QTStyle, INT_MIN, INT_MAX},
    {"QQStyle", &PrintSettings::QQStyle, INT_MIN, INT_MAX},
    {"QAStyle", &PrintSettings::QAStyle, INT_MIN, INT_MAX},
};
struct ColorKey {
    const char* key;
    std::uint32_t PrintSettings::*field;
};
constexpr ColorKey kPrintColorKeys[] = {
    {"QTColor", &PrintSettings::QTColor},
    {"QQColor", &PrintSettings::QQColor},
    {"QAColor", &PrintSettings::QAColor},
};

std::string key_with(std::string_view prefix, std::string_view suffix) {
    std::string key(prefix);
    key += suffix;
    return key;
}

std::string recent_key(int number) {
    return key_with("File", format_decimal(number));
}

// The value of the first line that begins with key + '='.
std::optional<std::string_view> find_value(std::string_view text, std::string_view key) {
    text = text.substr(0, text.find('\0'));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(kLineSeparator, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (line.size() > key.size() && line.starts_with(key) && line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
        start = end + 1;
    }
    return std::nullopt;
}

// A text value cut to at most max_bytes.
bool settings_string_limited(std::string_view text, std::string_view key, std::size_t max_bytes,
                             std::string& value) {
    const auto found = find_value(text, key);
    if (!found) return false;
    value.assign(found->substr(0, max_bytes));
    return true;
}

bool settings_int_in(std::string_view text, std::string_view key, int min, int max, int& value) {
    int read = 0;
    if (!settings_int(text, key, read) || read < min || read > max) return false;
    value = read;
    return true;
}

void read_font(std::string_view text, std::string_view prefix, FontSpec& font) {
    settings_string_limited(text, key_with(prefix, "Name"), kMaxFaceName, font.face);
    settings_int(text, key_with(prefix, "Size"), font.size);
    int value = 0;
    if (settings_int(text, key_with(prefix, "Color"), value)) {
        font.text_color = static_cast<std::uint32_t>(value);
    }
    if (settings_int(text, key_with(prefix, "BackColor"), value)) {
        font.back_color = static_cast<std::uint32_t>(value);
    }
    if (settings_int(text, key_with(prefix, "CharSet"), value)) {
        font.charset = static_cast<unsigned>(value);
    }
}

// The card layout's keys: each value and its range.
struct CardKey {
    const char* key;
    int min, max;
    int (*get)(const CardSettings&);
    void (*set)(CardSettings&, int);
};
constexpr CardKey kCardKeys[] = {
    {"CardColumns", 1, 4, [](const CardSettings& c) { return c.columns; }, [](CardSettings& c, int v) { c.columns = v; }},
    {"CardRows", 1, 8, [](const CardSettings& c) { return c.rows; }, [](CardSettings& c, int v) { c.rows = v; }},
    {"CardMargin", 0, 200, [](const CardSettings& c) { return c.margin; }, [](CardSettings& c, int v) { c.margin = v; }},
    {"CardCutLines", 0, 2, [](const CardSettings& c) { return static_cast<int>(c.cut_lines); },
     [](CardSettings& c, int v) { c.cut_lines = static_cast<CutLines>(v); }},
    {"CardMirror", 0, 1, [](const CardSettings& c) { return int{c.mirror_backs}; }, [](CardSettings& c, int v) { c.mirror_backs = v; }},
    {"CardCorner", 0, 1, [](const CardSettings& c) { return int{c.corner}; }, [](CardSettings& c, int v) { c.corner = v; }},
    {"CardAllAnswers", 0, 1, [](const CardSettings& c) { return int{c.all_alternatives}; },
     [](CardSettings& c, int v) { c.all_alternatives = v; }},
};

void read_print_settings(std::string_view text, PrintSettings& print) {
    for (const PrintKey& k : kPrintKeysBefore)
        settings_int_in(text, k.key, k.min, k.max, print.*k.field);
    settings_string(text, "NumTitle", print.NumTitle);
    settings_string(text, "NumQuestion", print.NumQuestion);
    for (const PrintKey& k : kPrintKeysAfter)
        settings_int_in(text, k.key, k.min, k.max, print.*k.field);
    int value = 0;
    for (const ColorKey& k : kPrintColorKeys) {
        if (settings_int(text, k.key, value)) print.*k.field = static_cast<std::uint32_t>(value);
    }
    settings_int_in(text, "PrintForm", PRINT_FORM_LIST, PRINT_FORM_CARDS, print.Form);
    for (const CardKey& k : kCardKeys)
        if (settings_int_in(text, k.key, k.min, k.max, value)) k.set(print.cards, value);
}

// ASCII case folding only: bytes of other scripts compare as they are.
char fold_ascii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Paths (UTF-8) equal apart from the case of ASCII letters; every byte of
// another script is 0x80 or above and compares exactly (at worst a name
// differing in the case of an accented letter is listed twice).
bool same_path_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold_ascii(a[i]) != fold_ascii(b[i])) return false;
    return true;
}

void put_line(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

void put_int(std::string& out, std::string_view key, int value) {
    put_line(out, key, format_decimal(value));
}

// Colours and charsets are written as the signed 32-bit value of their bits.
void put_bits(std::string& out, std::string_view key, std::uint32_t value) {
    put_int(out, key, static_cast<int>(value));
}

void put_section(std::string& out, std::string_view name) {
    if (!out.empty()) out += "\r\n";  // the empty line that ends the previous section
    out += name;
    out += "\r\n";
}

}  // namespace

bool settings_string(std::string_view text, std::string_view key, std::string& value) {
    const auto found = find_value(text, key);
    if (!found) return false;
    value.assign(*found);
    return true;
}

bool settings_int(std::string_view text, std::string_view key, int& value) {
    const auto found = find_value(text, key);
    if (!found) return false;
    value = str_to_int(*found);
    return true;
}

void read_settings_text(std::string bytes, Preferences& prefs, PrintSettings& print) {
    // The settings file ends at a NUL byte.
    bytes.erase(std::min(bytes.find('\0'), bytes.size()));
    normalize_line_breaks(bytes);
    const std::string_view text = bytes;

    int value = 0;
    if (settings_int(text, "Show", value)) prefs.Show = static_cast<std::uint8_t>(value);
    for (const WindowKey& k : kWindowKeys)
        settings_int(text, k.key, prefs.*k.field);

    // File5 first, so that File1 ends up at the top of the list.
    for (int number = kMaxRecentFiles; number >= 1; --number) {
        std::string path;
        if (settings_string_limited(text, recent_key(number), kMaxRecentUtf8Path, path)) {
            if (path.rfind(kUtf8PathPrefix, 0) != 0) path.resize(std::min(path.size(), kMaxRecentPath));
            add_recent_file(prefs.recent_files, std::move(path));
        }
    }

    for (const ByteKey& k : kOptionKeys) {
        if (settings_int_in(text, k.key, k.min, k.max, value)) {
            prefs.*k.field = static_cast<std::uint8_t>(value);
        }
    }
    if (settings_int_in(text, "RecoveryInterval", 0, kMaxRecoveryInterval, value))
        prefs.RecoveryInterval = value;

    for (const FontKey& k : kFontKeys)
        read_font(text, k.prefix, prefs.*k.font);

    read_print_settings(text, print);
}

std::string write_settings_text(const Preferences& prefs, const PrintSettings& print) {
    std::string out;

    put_section(out, "[Window]");
    put_int(out, "Show", prefs.Show);
    for (const WindowKey& k : kWindowKeys)
        put_int(out, k.key, prefs.*k.field);

    put_section(out, "[Recent]");
    const int recent =
        static_cast<int>(std::min<std::size_t>(prefs.recent_files.size(), kMaxRecentFiles));
    for (int i = 0; i < recent && !prefs.recent_files[i].empty(); ++i) {
        put_line(out, recent_key(i + 1), prefs.recent_files[i]);
    }

    put_section(out, "[Option]");
    for (const ByteKey& k : kOptionKeys)
        put_int(out, k.key, prefs.*k.field);
    put_int(out, "RecoveryInterval", prefs.RecoveryInterval);

    put_section(out, "[Fonts]");
    for (const FontKey& k : kFontKeys) {
        const FontSpec& font = prefs.*k.font;
        put_line(out, key_with(k.prefix, "Name"), font.face);
        put_int(out, key_with(k.prefix, "Size"), font.size);
        put_bits(out, key_with(k.prefix, "Color"), font.text_color);
        put_bits(out, key_with(k.prefix, "BackColor"), font.back_color);
        put_bits(out, key_with(k.prefix, "CharSet"), font.charset);
    }

    put_section(out, "[Print]");
    for (const PrintKey& k : kPrintKeysBefore)
        put_int(out, k.key, print.*k.field);
    put_line(out, "NumTitle", print.NumTitle);
    put_line(out, "NumQuestion", print.NumQuestion);
    for (const PrintKey& k : kPrintKeysAfter)
        put_int(out, k.key, print.*k.field);
    for (const ColorKey& k : kPrintColorKeys)
        put_bits(out, k.key, print.*k.field);
    put_int(out, "PrintForm", print.Form);
    for (const CardKey& k : kCardKeys)
        put_int(out, k.key, k.get(print.cards));
    return out;
}

void add_recent_file(std::vector<std::string>& list, std::string path) {
    // From the last entry to the first; the first equal entry found goes.
    for (std::size_t i = list.size(); i-- > 0;) {
        if (same_path_ignoring_case(list[i], path)) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (list.size() >= static_cast<std::size_t>(kMaxRecentFiles)) {
        list.resize(kMaxRecentFiles - 1);
    }
    list.insert(list.begin(), std::move(path));
}

}  // namespace qz
