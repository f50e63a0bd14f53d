#include "core/document/file_check.h"

namespace qz {

FileRefusal refuse_file(std::string_view path, const FileFacts& facts, std::uint64_t limit) {
    if (path.empty()) return FileRefusal::no_name;
    switch (facts.kind) {
        case FileKind::missing: return FileRefusal::missing;
        case FileKind::folder: return FileRefusal::folder;
        case FileKind::other: return FileRefusal::not_regular;
        case FileKind::regular: break;
    }
    return facts.size > limit ? FileRefusal::too_large : FileRefusal::none;
}

std::string refusal_message(FileRefusal refusal, std::uint64_t limit) {
    switch (refusal) {
        case FileRefusal::none: return {};
        case FileRefusal::no_name: return "ファイル名がありません。";
        case FileRefusal::missing: return "ファイルが見つかりません。";
        case FileRefusal::folder: return "フォルダーです。ファイルを指定してください。";
        case FileRefusal::not_regular:
            return "通常のファイルではありません（デバイスやパイプは読み込みません）。";
        case FileRefusal::too_large:
            return "ファイルが大きすぎます（" + std::to_string(limit >> 20) + " MB まで）。";
    }
    return {};
}

const char* utf8_hint(std::string_view first_bytes) {
    return first_bytes.starts_with("\xEF\xBB\xBF")
               ? "UTF-8 で保存されたファイルのようです。Shift-JIS で保存し直してください。"
               : "";
}

}  // namespace qz
