#include "tool/pictures_command.h"

#include "core/document/card_document.h"
#include "core/exchange/picture_path.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_decoder.h"
#include "core/syntax/scan.h"
#include "core/image/picture_probe.h"
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

}  // namespace

int run_pictures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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
