#include "tool/normalized_file.h"

#include <string_view>

#include "core/document/data_file.h"
#include "tool/tool_files.h"

namespace qz::tool {

void NormalizedFile::start(int version) {
    version_ = version;
    any_line_ = false;
    text_.clear();
    // Only what is written in memory touches the room.
    text_.reserve(size_ + 32);
    runs_.clear();
    run_length_ = 0;
    run_bytes_ = nullptr;
    append_header_line(text_, version);
}

void NormalizedFile::end_run() {
    if (run_length_ == 0) return;
    if (run_bytes_ && run_length_ < kLeastCopy)
        text_.append(run_bytes_, static_cast<std::size_t>(run_length_));
    else
        runs_.push_back({text_.size(), run_offset_, run_length_});
    run_length_ = 0;
    run_bytes_ = nullptr;
}

void NormalizedFile::add(char* p, char* end, std::uint64_t offset) {
    if (offset == kNotInFile) {
        end_run();
        if (append_read_lines(text_, p, end, version_)) any_line_ = true;
        return;
    }
    classify_lines(p, end, version_, [&](const char* line, std::size_t length, LineClass c) {
        any_line_ = true;
        // As append_read_lines: a line kept as written and ended by CR LF
        // is written as it is.
        if (c.form == LineForm::kept && line[length] == '\r' && line[length + 1] == '\n') {
            const std::uint64_t at = offset + static_cast<std::uint64_t>(line - p);
            if (run_length_ > 0 && run_offset_ + run_length_ == at) {
                run_length_ += length + 2;
            } else {
                end_run();
                run_offset_ = at;
                run_length_ = length + 2;
                run_bytes_ = line;
            }
            return;
        }
        end_run();
        append_read_line(text_, line, length, c.form);
    });
    // The piece's bytes go; a run that goes on in the next piece is copied
    // from the file when it is long already, else it starts again there.
    if (run_bytes_) {
        if (run_length_ < kLeastCopy)
            end_run();
        else
            run_bytes_ = nullptr;
    }
}

std::vector<FilePart> NormalizedFile::parts(std::FILE* from) {
    end_run();
    if (!any_line_) text_.append("\r\n", 2);
    std::vector<FilePart> parts;
    parts.reserve(2 * runs_.size() + 1);
    const std::string_view text = text_;
    std::size_t at = 0;
    for (const Run& run : runs_) {
        if (run.after > at) parts.push_back({text.substr(at, run.after - at)});
        parts.push_back({{}, from, run.offset, run.length});
        at = run.after;
    }
    if (text.size() > at) parts.push_back({text.substr(at)});
    return parts;
}

}  // namespace qz::tool
