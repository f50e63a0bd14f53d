#include "core/image/picture_probe.h"

#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_decoder.h"

namespace qz {

PictureProbeResult probe_picture(const std::string& path, const FileReader& read) {
    const PictureKind kind = picture_kind(path);
    if (kind == PictureKind::NONE) return {PictureState::not_a_picture, {}, 0, 0};
    std::string bytes;
    if (ReadResult read_result = read(path, bytes); !read_result.ok()) {
        if (read_result.refusal == FileRefusal::missing) return {PictureState::missing, {}, 0, 0};
        return {PictureState::unreadable, std::move(read_result.message), 0, 0};
    }
    Picture picture;
    const char* error = kind == PictureKind::BMP ? read_bmp(bytes, picture)
                                                 : decode_png(bytes, 0xFFFFFF, picture);
    if (error) return {PictureState::unreadable, error, 0, 0};
    return {PictureState::ok, {}, picture.width(), picture.height()};
}

}  // namespace qz
