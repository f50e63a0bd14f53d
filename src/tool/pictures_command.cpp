#include "tool/pictures_command.h"

#include "core/document/card_document.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_decoder.h"
#include "core/syntax/scan.h"
#include "tool/cp932_output.h"
#include "tool/tool_files.h"

namespace qz::tool {
namespace {

// The form of a path the file system here takes: on Linux a backslash
// separates folders too.
std::string local_path(std::string path) {
#ifndef _WIN32
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (is_double_byte_char(&path[i]))
            ++i;
        else if (path[i] == '\\')
            path[i] = '/';
    }
#endif
    return path;
}

// The state of one picture; `failed` when it is missing or unreadable.
std::string picture_state(const std::string& path, bool& failed) {
    const PictureKind kind = picture_kind(path);
    if (kind == PictureKind::NONE) return "not a picture";
    std::string bytes;
    if (!read_file(local_path(path), bytes)) {
        failed = true;
        return "missing";
    }
    Picture picture;
    const char* error = kind == PictureKind::BMP ? read_bmp(bytes, picture)
                                                 : decode_png(bytes, 0xFFFFFF, picture);
    if (error) {
        failed = true;
        return "unreadable: " + output_text(error);
    }
    return "ok " + std::to_string(picture.width()) + "x" + std::to_string(picture.height());
}

}  // namespace

int run_pictures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string bytes;
    CardDocument doc;
    if (!load(args[0], bytes, doc, err)) return 2;
    bool failed = false;
    int index = 0;
    for (const DataLine& line : doc) {
        if (is_question(&line)) {
            for (const ImageReference& reference : find_image_references(line.text())) {
                const std::string path = resolve_image_path(args[0], reference.path);
                out << CardDocument::file_line_number(index) << '\t'
                    << output_text(image_reference(reference.path)) << '\t' << output_text(path) << '\t'
                    << picture_state(path, failed) << '\n';
            }
        }
        ++index;
    }
    return failed ? 1 : 0;
}

}  // namespace qz::tool
