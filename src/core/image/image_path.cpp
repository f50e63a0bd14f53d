#include "core/image/image_path.h"

#include <algorithm>

#include "core/syntax/scan.h"

namespace qz {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Positions of the separators of a (UTF-8) path: no byte of a character
// beyond ASCII is one.
std::vector<std::size_t> separators(std::string_view path) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (is_separator(path[i])) found.push_back(i);
    return found;
}

std::vector<std::string_view> components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at : separators(path)) {
        if (at > start) parts.push_back(path.substr(start, at - start));
        start = at + 1;
    }
    if (start < path.size()) parts.push_back(path.substr(start));
    return parts;
}

std::string_view folder_of(std::string_view path) {
    const auto seps = separators(path);
    return seps.empty() ? std::string_view{} : path.substr(0, seps.back() + 1);
}

}  // namespace

PictureKind picture_kind(std::string_view path) {
    const auto seps = separators(path);
    const std::string_view name = seps.empty() ? path : path.substr(seps.back() + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return PictureKind::NONE;
    const std::string_view extension = name.substr(dot);
    if (equal_ignoring_case(extension, ".bmp")) return PictureKind::BMP;
    if (equal_ignoring_case(extension, ".png")) return PictureKind::PNG;
    return PictureKind::NONE;
}

std::string resolve_image_path(std::string_view base, std::string_view reference) {
    const bool has_drive = reference.size() >= 2 && reference[1] == ':';
    const bool unc = reference.size() >= 2 && is_separator(reference[0]) && is_separator(reference[1]);
    if (has_drive || unc) return std::string(reference);
    if (!reference.empty() && is_separator(reference[0])) {
        const bool base_drive = base.size() >= 2 && base[1] == ':';
        return std::string(base_drive ? base.substr(0, 2) : std::string_view{}) + std::string(reference);
    }
    return std::string(folder_of(base)) + std::string(reference);
}

std::optional<std::string> relative_image_path(std::string_view data_file, std::string_view picture) {
    if (data_file.empty() || picture.empty() || ascii_lower(data_file[0]) != ascii_lower(picture[0]))
        return std::nullopt;
    const auto from = components(folder_of(data_file));
    const auto to = components(picture);
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && equal_ignoring_case(from[common], to[common]))
        ++common;
    if (common == 0) return std::nullopt;
    std::string relative;
    for (std::size_t i = common; i < from.size(); ++i) relative += "..\\";
    for (std::size_t i = common; i < to.size(); ++i) {
        relative += to[i];
        if (i + 1 < to.size()) relative += '\\';
    }
    return relative;
}

std::string image_reference(std::string_view path) { return "\\i\"" + std::string(path) + '"'; }

std::vector<ImageReference> find_image_references(std::string_view text) {
    const std::string copy(text);
    std::vector<ImageReference> found;
    for (std::size_t i = 0; i < copy.size(); ++i) {
        if (is_double_byte_char(&copy[i])) {
            ++i;
        } else if (copy[i] == '\\' && i + 1 < copy.size()) {
            if (copy.compare(i + 1, 2, "i\"") == 0) {
                const std::size_t start = i + 3;
                const std::size_t end = std::min(copy.find('"', start), copy.size());
                found.push_back({i, copy.substr(start, end - start)});
                i = end;
            } else if (copy[i + 1] == '\\') {
                ++i;  // an escaped backslash
            }
        }
    }
    return found;
}

}  // namespace qz
