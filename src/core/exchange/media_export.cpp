#include "core/exchange/media_export.h"

#include <unordered_map>
#include <unordered_set>

#include "core/exchange/text_encoding.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_encoder.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

// The last part of a reference (code page 932: a trail byte can look like
// a backslash).
std::string last_part(const std::string& reference) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        if (i + 1 < reference.size() && is_double_byte_char(reference.data() + i))
            ++i;
        else if (reference[i] == '\\' || reference[i] == '/' || reference[i] == ':')
            start = i + 1;
    }
    return reference.substr(start);
}

class Gatherer {
public:
    explicit Gatherer(const std::function<std::optional<std::string>(const std::string&)>& read) : read_(read) {}

    // The text with its references rewritten.
    std::string rewrite(const std::string& text, int row) {
        const std::vector<ImageReference> refs = find_image_references(text);
        if (refs.empty()) return text;
        std::string out;
        std::size_t from = 0;
        for (const ImageReference& ref : refs) {
            const std::size_t path_start = ref.position + 3;
            const std::size_t path_end = path_start + ref.path.size();
            out.append(text, from, path_start - from);
            const std::string* name = copy_of(ref.path, row);
            out += name ? *name : ref.path;
            from = path_end;
        }
        out.append(text, from, std::string::npos);
        return out;
    }

    MediaExport done() { return std::move(result_); }

private:
    // The new reference (code page 932) of a picture, read once; null when
    // it could not be read.
    const std::string* copy_of(const std::string& reference, int row) {
        const auto [at, fresh] = by_reference_.try_emplace(reference);
        if (fresh) {
            std::optional<std::string> bytes = read_(reference);
            std::string name = last_part(reference);
            if (bytes && picture_kind(reference) == PictureKind::BMP) {
                Picture picture;
                bytes = read_bmp(*bytes, picture) ? std::nullopt : encode_png(picture);
                name = name.substr(0, name.rfind('.')) + ".png";
            }
            if (bytes && !name.empty()) {
                at->second = unique(name);
                result_.files.push_back({cp932_to_utf8(*at->second), std::move(*bytes)});
            } else {
                unread_at_.emplace(reference, result_.unread.size());
                result_.unread.push_back({reference, {}});
            }
        }
        if (at->second) return &*at->second;
        std::vector<int>& rows = result_.unread[unread_at_.at(reference)].rows;
        if (rows.empty() || rows.back() != row) rows.push_back(row);
        return nullptr;
    }

    std::string unique(const std::string& name) {
        const std::size_t dot = name.rfind('.');
        const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
        const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
        std::string candidate = name;
        for (int n = 2; !taken_.insert(ascii_lower(candidate)).second; ++n)
            candidate = stem + "_" + std::to_string(n) + extension;
        return candidate;
    }

    const std::function<std::optional<std::string>(const std::string&)>& read_;
    MediaExport result_;
    std::unordered_map<std::string, std::optional<std::string>> by_reference_;
    std::unordered_map<std::string, std::size_t> unread_at_;
    std::unordered_set<std::string> taken_;
};

}  // namespace

MediaExport gather_media(std::vector<ExchangeCard>& cards,
                         const std::function<std::optional<std::string>(const std::string&)>& picture_bytes) {
    Gatherer gatherer(picture_bytes);
    for (ExchangeCard& card : cards) {
        for (std::string* text : {&card.fields.question, &card.fields.answer, &card.fields.comment})
            *text = gatherer.rewrite(*text, card.row);
        for (std::string& alternative : card.alternatives) alternative = gatherer.rewrite(alternative, card.row);
    }
    return gatherer.done();
}

}  // namespace qz
