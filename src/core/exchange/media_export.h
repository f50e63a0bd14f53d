// The pictures an export carries beside it: the files the cards' references
// name, copied into one media folder under names of their own (BMP turned
// into PNG, which card programs show), and the references rewritten to
// those names.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/exchange/exchange.h"

namespace qz {

struct MediaCopy {
    std::string name;   // in the media folder, UTF-8
    std::string bytes;  // the file's bytes (PNG for a BMP)
};

struct UnreadPicture {
    std::string reference;  // as written (code page 932)
    std::vector<int> rows;  // the cards' rows (ExchangeCard::row), ascending
};

struct MediaExport {
    std::vector<MediaCopy> files;
    // Pictures that could not be read or converted: their references stay
    // as they were written.
    std::vector<UnreadPicture> unread;
};

// Reads the picture of every reference in the cards' questions, answers,
// alternatives and comments (bytes of a reference as written, nothing when
// it cannot be read) and rewrites each reference whose picture was read to
// the bare name of its copy: the last part of its path, ".png" for a BMP,
// made unique without regard to ASCII case by "_2", "_3", ... before the
// extension.
MediaExport gather_media(std::vector<ExchangeCard>& cards,
                         const std::function<std::optional<std::string>(const std::string& reference)>& picture_bytes);

}  // namespace qz
