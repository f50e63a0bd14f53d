#include "core/exchange/media_check.h"

#include <algorithm>
#include <unordered_map>

#include "core/document/line_queries.h"
#include "core/exchange/picture_path.h"
#include "core/exchange/text_encoding.h"
#include "core/image/image_path.h"
#include "core/image/picture.h"
#include "core/image/picture_header.h"
#include "core/syntax/scan.h"

namespace qz {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// Where the folder of a path ends (past its last separator).
std::size_t name_start(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (is_separator(path[i - 1])) return i;
    return 0;
}

// A relative reference that stays inside the data file's folder.
bool inside(std::string_view reference) {
    if (reference.empty() || is_separator(reference[0]) || (reference.size() >= 2 && reference[1] == ':'))
        return false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= reference.size(); ++i) {
        if (i < reference.size() && is_double_byte_char(reference.data() + i)) {
            ++i;
        } else if (i == reference.size() || is_separator(reference[i])) {
            if (reference.substr(start, i - start) == "..") return false;
            start = i + 1;
        }
    }
    return true;
}

// One folder the references name, listed once.
struct Folder {
    bool listed = false;
    bool checked_for_unused = false;
    std::vector<MediaFile> files;
    std::vector<bool> used;
    std::unordered_map<std::string, std::size_t> by_name;     // exact
    std::unordered_map<std::string, std::size_t> by_lower;    // ASCII case folded
    std::unordered_map<std::string, std::size_t> not_held;    // code page 932 form (folded) of names it cannot hold
};

// What a reference target gave.
struct Target {
    std::string reference;
    std::vector<int> lines;
};

}  // namespace

const char* media_kind_label(MediaKind kind) {
    switch (kind) {
        case MediaKind::missing: return "ファイルがない";
        case MediaKind::case_differs: return "大文字・小文字の違い";
        case MediaKind::name_not_held: return "シフト JIS にない文字";
        case MediaKind::unused: return "使われていない";
        case MediaKind::not_picture: return "画像ではない";
        case MediaKind::too_large: return "大きすぎる";
    }
    return "";
}

std::vector<MediaFinding> check_media(const CardDocument& doc, std::string_view data_file,
                                      const MediaLister& list, const MediaHeadReader& read_head) {
    // Every target, by resolved path, in order of first use.
    std::unordered_map<std::string, std::size_t> target_at;
    std::vector<std::pair<std::string, Target>> targets;
    for (int index = 0; index < doc.count(); ++index) {
        const DataLine* line = doc.line_at(index);
        if (!is_question(line)) continue;
        for (ImageReference& ref : find_image_references(line->text())) {
            std::string path = picture_path(data_file, ref.path);
            const auto [at, fresh] = target_at.try_emplace(path, targets.size());
            if (fresh) targets.push_back({std::move(path), Target{std::move(ref.path), {}}});
            std::vector<int>& lines = targets[at->second].second.lines;
            if (lines.empty() || lines.back() != index) lines.push_back(index);
        }
    }

    std::unordered_map<std::string, Folder> folders;
    auto folder_at = [&](const std::string& path) -> Folder& {
        const auto [at, fresh] = folders.try_emplace(path);
        Folder& folder = at->second;
        if (fresh) {
            if (std::optional<std::vector<MediaFile>> files = list(path)) {
                folder.listed = true;
                folder.files = std::move(*files);
                folder.used.assign(folder.files.size(), false);
                for (std::size_t i = 0; i < folder.files.size(); ++i) {
                    const std::string& name = folder.files[i].name;
                    folder.by_name.emplace(name, i);
                    folder.by_lower.emplace(ascii_lower(name), i);
                    if (!reference_path(name)) folder.not_held.emplace(ascii_lower(utf8_to_cp932(name)), i);
                }
            }
        }
        return folder;
    };
    const std::string data_folder(data_file.substr(0, name_start(data_file)));
    folder_at(data_folder).checked_for_unused = true;

    std::vector<MediaFinding> findings;
    auto add = [&](MediaKind kind, std::string reference, std::string path, std::string detail,
                   std::vector<int> lines) {
        findings.push_back({kind, std::move(reference), std::move(path), std::move(detail), std::move(lines)});
    };
    // The file's own findings: no picture, or too large.
    auto check_file = [&](const std::string& path, const MediaFile& file, const std::string& reference,
                          const std::vector<int>& lines) {
        if (file.size > kMaxPictureFileBytes) {
            add(MediaKind::too_large, reference, path,
                format_decimal(static_cast<int>(file.size >> 20)) + " MB（画像は 300 MB まで）", lines);
            return;
        }
        const PictureKind kind = picture_kind(file.name);
        if (kind == PictureKind::NONE) {
            add(MediaKind::not_picture, reference, path, "BMP でも PNG でもありません。", lines);
            return;
        }
        const std::optional<std::string> head = read_head(path);
        if (!head) {
            add(MediaKind::not_picture, reference, path, "読み込めません。", lines);
            return;
        }
        const PictureHeader header = read_picture_header(*head, kind);
        if (header.error) {
            add(MediaKind::not_picture, reference, path, header.error, lines);
        } else if (header.too_large) {
            add(MediaKind::too_large, reference, path,
                format_decimal(static_cast<int>(header.width)) + " x " +
                    format_decimal(static_cast<int>(header.height)) + " ピクセル（一辺 30000、3600 万ピクセルまで）",
                lines);
        }
    };

    for (auto& [path, target] : targets) {
        const std::size_t split = name_start(path);
        const std::string folder_path = path.substr(0, split);
        Folder& folder = folder_at(folder_path);
        if (inside(target.reference)) folder.checked_for_unused = true;
        const std::string name = path.substr(split);
        if (!folder.listed) {
            add(MediaKind::missing, target.reference, path, "フォルダーが見つかりません。", target.lines);
            continue;
        }
        std::size_t file = 0;
        if (const auto exact = folder.by_name.find(name); exact != folder.by_name.end()) {
            file = exact->second;
        } else if (const auto folded = folder.by_lower.find(ascii_lower(name)); folded != folder.by_lower.end()) {
            file = folded->second;
            add(MediaKind::case_differs, target.reference, folder_path + folder.files[file].name,
                "ファイル名は " + utf8_to_cp932(folder.files[file].name) + " です。", target.lines);
        } else if (const auto unheld = folder.not_held.find(ascii_lower(target.reference.substr(name_start(target.reference))));
                   unheld != folder.not_held.end()) {
            file = unheld->second;
            add(MediaKind::name_not_held, target.reference, folder_path + folder.files[file].name,
                kPictureNameNotHeld, target.lines);
        } else {
            add(MediaKind::missing, target.reference, path, "ファイルが見つかりません。", target.lines);
            continue;
        }
        if (!folder.used[file]) check_file(folder_path + folder.files[file].name, folder.files[file], target.reference, target.lines);
        folder.used[file] = true;
    }

    // The picture files of the checked folders that no line uses.
    std::vector<MediaFinding> unused;
    for (auto& [folder_path, folder] : folders) {
        if (!folder.checked_for_unused) continue;
        for (std::size_t i = 0; i < folder.files.size(); ++i) {
            if (folder.used[i] || picture_kind(folder.files[i].name) == PictureKind::NONE) continue;
            const bool held = reference_path(folder.files[i].name).has_value();
            unused.push_back({MediaKind::unused, {}, folder_path + folder.files[i].name,
                              held ? std::string() : std::string(kPictureNameNotHeld), {}});
        }
    }
    std::sort(unused.begin(), unused.end(),
              [](const MediaFinding& a, const MediaFinding& b) { return a.path < b.path; });
    std::stable_sort(findings.begin(), findings.end(), [](const MediaFinding& a, const MediaFinding& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.lines.front() < b.lines.front();
    });
    // Unused files after the reference findings' kinds that come before it.
    const auto at = std::find_if(findings.begin(), findings.end(),
                                 [](const MediaFinding& f) { return f.kind > MediaKind::unused; });
    findings.insert(at, std::make_move_iterator(unused.begin()), std::make_move_iterator(unused.end()));
    return findings;
}

}  // namespace qz
