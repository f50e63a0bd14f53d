#include "tool/pictures_command.h"

#include "core/document/card_document.h"
#include "core/exchange/picture_path.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_decoder.h"
#include "core/syntax/scan.h"
#include "core/image/picture_probe.h"
#include "platform/folder_list.h"
#include "tool/cp932_output.h"
#include "tool/tool_files.h"

namespace qz::tool {
namespace {

// The state of one picture; `failed` when it is missing or unreadable.
std::string picture_state(const std::string& path, bool& failed) {
    const PictureProbeResult probe = probe_picture(path, read_picture);
    failed = failed || probe.state == PictureState::missing || probe.state == PictureState::unreadable;
    switch (probe.state) {
        case PictureState::not_a_picture: return "not a picture";
        case PictureState::missing: return "missing";
        case PictureState::unreadable: return "unreadable: " + output_text(probe.reason);
        case PictureState::ok: break;
    }
    return "ok " + std::to_string(probe.width) + "x" + std::to_string(probe.height);
}

// A folder or file path as the editor writes it, for this system: on Linux
// a backslash separates folders too.
std::string local_path(std::string path) {
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\') c = '/';
#endif
    return path;
}

// The files no line uses, one path a line; exit 1 when there are some.
int run_unused(const std::string& file, std::ostream& out, std::ostream& err) {
    CardDocument doc;
    if (!load(file, doc, err)) return 2;
    int unused = 0;
    for (const MediaFinding& finding : check_media(doc, file, media_lister(), media_head_reader())) {
        if (finding.kind != MediaKind::unused) continue;
        out << output_path(finding.path) << '\n';
        ++unused;
    }
    return unused ? 1 : 0;
}

}  // namespace

MediaLister media_lister() {
    return [](const std::string& folder) { return list_media_files(local_path(folder)); };
}

MediaHeadReader media_head_reader() {
    return [](const std::string& path) -> std::optional<std::string> {
        std::string bytes;
        if (!read_picture(path, bytes).ok()) return std::nullopt;
        return bytes;
    };
}

int run_pictures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args[0] == "--unused") {
        if (args.size() != 2) {
            err << "usage: qzotool pictures [--unused] FILE\n";
            return 2;
        }
        return run_unused(args[1], out, err);
    }
    if (args.size() != 1) {
        err << "usage: qzotool pictures [--unused] FILE\n";
        return 2;
    }
    CardDocument doc;
    if (!load(args[0], doc, err)) return 2;
    bool failed = false;
    int index = 0;
    for (const DataLine& line : doc) {
        if (is_question(&line)) {
            for (const ImageReference& reference : find_image_references(line.text())) {
                const std::string path = picture_path(args[0], reference.path);
                out << CardDocument::file_line_number(index) << '\t'
                    << output_text(image_reference(reference.path)) << '\t' << output_path(path) << '\t'
                    << picture_state(path, failed) << '\n';
            }
        }
        ++index;
    }
    return failed ? 1 : 0;
}

}  // namespace qz::tool
