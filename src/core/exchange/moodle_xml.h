// Moodle XML: the question bank's own format, with the pictures inside.
#pragma once

#include <vector>

#include "core/exchange/exchange.h"

namespace qz {

// The cards as a Moodle XML quiz (UTF-8 always): a "category" question
// before each title's run (its path as the GIFT export writes it, under
// "$course$/top"), then per card a short-answer question under a title
// whose choice count is 0 or 1 (every alternative of the expanded answer
// an accepted answer of full marks), a true/false question for ○ and ×
// under a two-choice title, or a single-answer multiple-choice question
// with the wrong choices the GIFT export draws. Question and answers are
// HTML (format="html", in CDATA), the comment the general feedback, the
// name the first 40 characters of the question. Each picture reference
// becomes <img src="@@PLUGINFILE@@/name"> with the file embedded once per
// text as <file name path="/" encoding="base64">, a BMP converted to PNG;
// one options.picture_bytes cannot give is written as a plain reference
// and listed in unread_pictures. Left out (and counted): an empty
// question or answer.
ExportResult write_moodle_xml(const std::vector<ExchangeCard>& cards, const ExportOptions& options);

// RFC 4648 base64 with padding, no line breaks.
std::string base64_encode(std::string_view bytes);

}  // namespace qz
