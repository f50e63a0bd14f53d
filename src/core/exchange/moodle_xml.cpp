#include "core/exchange/moodle_xml.h"

#include <algorithm>
#include <unordered_map>

#include "core/exchange/gift.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_encoder.h"

namespace qz {
namespace {

constexpr char kTrueAnswer[] = "\x81\x9B";   // ○
constexpr char kFalseAnswer[] = "\x81\x7E";  // ×
constexpr std::size_t kNameCharacters = 40;

// Text for an element or an attribute in double quotes.
std::string xml_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

// A CDATA section; "]]>" inside splits it in two.
std::string cdata(std::string_view text) {
    std::string out = "<![CDATA[";
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find("]]>", start);
        if (end == std::string_view::npos) {
            out.append(text.substr(start));
            break;
        }
        out.append(text.substr(start, end + 2 - start));
        out += "]]><![CDATA[";
        start = end + 2;
    }
    return out + "]]>";
}

// A file name as a URL path segment: all but the unreserved characters as %XX.
std::string url_segment(std::string_view name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

// The first characters of a text (UTF-8), its line breaks as spaces.
std::string question_name(std::string_view text) {
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size() && characters < kNameCharacters; ++characters) {
        std::size_t n = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0) n = 4;
        else if (lead >= 0xE0) n = 3;
        else if (lead >= 0xC0) n = 2;
        const std::string_view c = text.substr(i, n);
        out += c == "\r" || c == "\n" ? std::string_view(" ") : c;
        i += n;
    }
    return out;
}

// A text (code page 932) without its picture references.
std::string without_pictures(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    for (const ImageReference& ref : find_image_references(text)) {
        out.append(text, from, ref.position - from);
        from = std::min(text.size(), ref.position + 4 + ref.path.size());
    }
    return out.append(text, from);
}

// A picture as it goes into the file: its name and its bytes in base64.
struct Embedded {
    std::string name;
    std::string base64;
};

class Writer {
public:
    Writer(const ExportOptions& options, ExportResult& result) : options_(options), result_(result) {}

    std::string u8(const std::string& cp932) { return cp932_to_utf8(cp932, &result_.undecodable); }

    // A text element holding the HTML of a shown text (code page 932) and
    // the files of its pictures.
    void html_text(std::string& out, const char* element, const char* indent, const std::string& cp932,
                   const char* attributes = "") {
        std::vector<const Embedded*> files;
        for (const ImageReference& ref : find_image_references(cp932)) {
            const Embedded* picture = load(ref.path);
            if (picture && std::find(files.begin(), files.end(), picture) == files.end()) files.push_back(picture);
        }
        const std::string html = text_to_html(u8(cp932), [&](std::string_view path) {
            const auto found = by_utf8_.find(std::string(path));
            return found != by_utf8_.end() && found->second ? "@@PLUGINFILE@@/" + url_segment(found->second->name)
                                                            : std::string(path);
        });
        out += indent;
        out += '<';
        out += element;
        out += attributes;
        out += " format=\"html\">\n";
        out += indent;
        out += "  <text>" + cdata(html) + "</text>\n";
        for (const Embedded* file : files) {
            out += indent;
            out += "  <file name=\"" + xml_escaped(file->name) + "\" path=\"/\" encoding=\"base64\">";
            out += file->base64;
            out += "</file>\n";
        }
        out += indent;
        out += "</";
        out += element;
        out += ">\n";
    }

private:
    // The picture a reference names, read once; null when it cannot be read.
    const Embedded* load(const std::string& reference) {
        const auto [at, fresh] = by_reference_.try_emplace(reference);
        if (!fresh) return at->second ? &*at->second : nullptr;
        const std::string path = u8(reference);
        if (options_.picture_bytes) {
            std::optional<std::string> bytes = options_.picture_bytes(reference);
            std::string name = path.substr(path.find_last_of("\\/") == std::string::npos ? 0 : path.find_last_of("\\/") + 1);
            if (bytes && picture_kind(reference) == PictureKind::BMP) {
                Picture picture;
                bytes = read_bmp(*bytes, picture) ? std::nullopt : encode_png(picture);
                const std::size_t dot = name.rfind('.');
                name = name.substr(0, dot) + ".png";
            }
            if (bytes) at->second = Embedded{std::move(name), base64_encode(*bytes)};
            else result_.unread_pictures.push_back(reference);
        }
        by_utf8_.emplace(path, at->second ? &*at->second : nullptr);
        return at->second ? &*at->second : nullptr;
    }

    const ExportOptions& options_;
    ExportResult& result_;
    std::unordered_map<std::string, std::optional<Embedded>> by_reference_;
    std::unordered_map<std::string, const Embedded*> by_utf8_;
};

void simple_text(std::string& out, const char* indent, const char* element, std::string_view text) {
    out += indent;
    out += '<';
    out += element;
    out += "><text>" + xml_escaped(text) + "</text></";
    out += element;
    out += ">\n";
}

}  // namespace

std::string base64_encode(std::string_view bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += two ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

ExportResult write_moodle_xml(const std::vector<ExchangeCard>& cards, const ExportOptions& options) {
    ExportResult result;
    Writer writer(options, result);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
    for (auto [begin, end] : title_runs(cards)) {
        const ExchangeCard& first = cards[begin];
        const int choices = first.titled ? first.title.choice_count : 0;
        const int distinct = choices > 1 ? distinct_answers(cards, begin, end) : 0;
        const std::string path = first.titled ? category_path(writer.u8(first.title.title)) : std::string();
        out += "  <question type=\"category\">\n";
        simple_text(out, "    ", "category", path.empty() ? std::string("$course$/top") : "$course$/top/" + path);
        if (!first.title.comment.empty()) writer.html_text(out, "info", "    ", first.title.comment);
        out += "  </question>\n";
        for (std::size_t k = begin; k < end; ++k) {
            const ExchangeCard& card = cards[k];
            const std::string& right = shown_alternative(card);
            const std::string question = writer.u8(card.fields.question);
            if (question.find_first_not_of(" \t\r\n") == std::string::npos || right.empty()) {
                ++result.left_out;
                continue;
            }
            std::string answers;
            const char* type;
            if (choices <= 1) {
                type = "shortanswer";
                const std::vector<std::string> single{card.fields.answer};
                for (const std::string& alternative : card.alternatives.empty() ? single : card.alternatives) {
                    if (alternative.empty()) continue;
                    answers += "    <answer fraction=\"100\" format=\"moodle_auto_format\">\n";
                    answers += "      <text>" + xml_escaped(writer.u8(alternative)) + "</text>\n";
                    answers += "    </answer>\n";
                }
                answers += "    <usecase>0</usecase>\n";
                if (card.alternatives_cut_short) ++result.cut_short;
            } else if (choices == 2 && (right == kTrueAnswer || right == kFalseAnswer)) {
                type = "truefalse";
                const bool truth = right == kTrueAnswer;
                answers += std::string("    <answer fraction=\"") + (truth ? "100" : "0") +
                           "\" format=\"moodle_auto_format\">\n      <text>true</text>\n    </answer>\n";
                answers += std::string("    <answer fraction=\"") + (truth ? "0" : "100") +
                           "\" format=\"moodle_auto_format\">\n      <text>false</text>\n    </answer>\n";
            } else {
                type = "multichoice";
                const std::vector<const std::string*> wrong =
                    wrong_choices(cards, begin, end, k, std::min(choices - 1, distinct - 1));
                answers += "    <single>true</single>\n    <shuffleanswers>true</shuffleanswers>\n";
                answers += "    <answernumbering>abc</answernumbering>\n";
                std::string choice;
                writer.html_text(choice, "answer", "    ", right, " fraction=\"100\"");
                answers += choice;
                for (const std::string* w : wrong) {
                    choice.clear();
                    writer.html_text(choice, "answer", "    ", *w, " fraction=\"0\"");
                    answers += choice;
                }
            }
            out += std::string("  <question type=\"") + type + "\">\n";
            simple_text(out, "    ", "name", question_name(writer.u8(without_pictures(card.fields.question))));
            writer.html_text(out, "questiontext", "    ", card.fields.question);
            if (!card.fields.comment.empty()) writer.html_text(out, "generalfeedback", "    ", card.fields.comment);
            out += answers;
            out += "  </question>\n";
            ++result.cards;
        }
    }
    out += "</quiz>\n";
    result.bytes = std::move(out);
    return result;
}

}  // namespace qz
