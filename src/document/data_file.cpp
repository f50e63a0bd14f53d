#include "document/data_file.h"

#include <cstring>

#include "syntax/scan.h"

namespace qz {

void normalize_line_breaks(std::string& buffer) {
    // A NUL ends the text.
    if (std::size_t nul = buffer.find('\0'); nul != std::string::npos) buffer.resize(nul);
    const std::size_t n = buffer.size();
    char* data = buffer.data();
    std::size_t out = 0;
    for (std::size_t in = 0; in < n;) {
        if (in + 1 < n && is_double_byte_char(data + in)) {
            data[out++] = data[in++];
            data[out++] = data[in++];
        } else if (data[in] == '\r') {
            in += (in + 1 < n && data[in + 1] == '\n') ? 2 : 1;
            data[out++] = kLineSeparator;
        } else if (data[in] == '\n') {
            ++in;
            data[out++] = kLineSeparator;
        } else {
            data[out++] = data[in++];
        }
    }
    buffer.resize(out);
    if (buffer.empty() || buffer.back() != kLineSeparator) buffer.push_back(kLineSeparator);
}

}  // namespace qz
