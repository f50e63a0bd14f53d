#include "tool/tool_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <sys/stat.h>

#include "core/document/data_file.h"
#include "core/document/file_check.h"
#include "core/image/picture.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"
#include "platform/file_read.h"
#include "tool/cp932_output.h"

namespace qz::tool {

std::size_t file_size(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
               ? static_cast<std::size_t>(status.st_size)
               : 0;
}

ReadResult read_local_file(const std::string& path, std::string& bytes, std::uint64_t limit) {
#ifdef _WIN32
    return read_file_bytes(path, bytes, limit);
#else
    // UTF-8: no byte of a character beyond ASCII is a backslash.
    std::string local = path;
    for (char& c : local)
        if (c == '\\') c = '/';
    return read_file_bytes(local, bytes, limit);
#endif
}

ReadResult read_picture(const std::string& path, std::string& bytes) {
    return read_local_file(path, bytes, kMaxPictureFileBytes);
}

void report(std::ostream& err, const std::string& path, const std::string& message) {
    err << (path.empty() ? "\"\"" : output_path(path)) << ": " << output_text(message.c_str()) << '\n';
}

bool read_or_report(const std::string& path, std::string& bytes, std::ostream& err) {
    const ReadResult read = read_file_bytes(path, bytes, kMaxDataFileBytes);
    if (read.ok()) return true;
    report(err, path, read.message);
    return false;
}

// The message for a file that did not load, with a hint for one saved as UTF-8.
void report_load(std::ostream& err, const std::string& path, LoadStatus status,
                 std::string_view first_bytes) {
    report(err, path, std::string(load_status_message(status)) + utf8_hint(first_bytes));
}

bool load(const std::string& path, CardDocument& doc, std::ostream& err, LoadResult* result) {
    std::string bytes;
    if (!read_or_report(path, bytes, err)) return false;
    const std::string first(bytes, 0, 3);
    LoadResult read = read_data_file(std::move(bytes), doc);
    if (read.status != LoadStatus::ok) {
        report_load(err, path, read.status, first);
        return false;
    }
    if (result) *result = std::move(read);
    return true;
}

namespace {

// Bytes read at a time by read_lines_in_pieces.
constexpr std::size_t kPieceSize = 1 << 20;

// The position after the last line break in [p, end) whose line is surely
// over: a CR as the last byte may be half of a CR LF. p when there is none.
std::size_t end_of_whole_lines(const char* p, const char* end) {
    for (const char* q = end; q > p; --q) {
        const char c = q[-1];
        if (c == '\n' || c == '\x01' || (c == '\r' && q != end)) return static_cast<std::size_t>(q - p);
    }
    return 0;
}

// The header checked as open_data_file_text checks it; 0 for a header it
// refuses, after the message. `body` gets where the data lines begin.
int header_version(const std::string& path, const char* data, std::size_t size,
                   std::size_t& body, std::ostream& err) {
    // Everything the header depends on lies in its first 16 bytes.
    std::string head(data, std::min<std::size_t>(size, 16));
    const DataFileText text = open_data_file_text(head);
    if (text.result.status != LoadStatus::ok) {
        report_load(err, path, text.result.status, std::string_view(data, std::min<std::size_t>(size, 3)));
        return 0;
    }
    body = static_cast<std::size_t>(text.body - head.data());
    return text.version;
}

bool read_lines_whole(const std::string& path, std::ostream& err,
                      const std::function<void(int version)>& start,
                      const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                      NulBytes& nul) {
    std::string bytes;
    if (!read_or_report(path, bytes, err)) return false;
    const std::string first(bytes, 0, 3);
    const DataFileText text = open_data_file_text(bytes);
    if (text.result.status != LoadStatus::ok) {
        report_load(err, path, text.result.status, first);
        return false;
    }
    nul = text.result.nul_bytes;
    start(text.version);
    piece(text.body, text.end, kNotInFile);
    return true;
}

}  // namespace

bool read_lines_in_pieces(const std::string& path, std::ostream& err,
                          const std::function<void(int version)>& start,
                          const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                          NulBytes& nul, FilePtr* opened) {
    const FileRefusal refusal = refuse_file(path, file_facts(path), kMaxDataFileBytes);
    if (refusal != FileRefusal::none) {
        report(err, path, refusal_message(refusal, kMaxDataFileBytes));
        return false;
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        report(err, path, kReadFailedMessage);
        return false;
    }
    // One byte more than is read, for the NUL behind the last line.
    std::string buffer(kPieceSize + 1, '\0');
    std::size_t held = 0;
    std::uint64_t total = 0;
    bool started = false;
    for (;;) {
        // A line longer than the buffer makes it grow.
        if (held + 1 == buffer.size()) buffer.resize(2 * buffer.size() - 1, '\0');
        char* const data = buffer.data();
        const std::size_t got = std::fread(data + held, 1, buffer.size() - 1 - held, file.get());
        if (got == 0 && std::ferror(file.get())) {
            report(err, path, kReadFailedMessage);
            return false;
        }
        if (find_byte(data + held, data + held + got, '\0') != data + held + got)
            return read_lines_whole(path, err, start, piece, nul);
        held += got;
        // A file that grows while it is read stops at the same limit.
        if ((total += got) > kMaxDataFileBytes) {
            report(err, path, refusal_message(FileRefusal::too_large, kMaxDataFileBytes));
            return false;
        }
        const bool at_end = got == 0;
        std::size_t from = 0;
        if (!started) {
            if (held < 16 && !at_end) continue;
            const int version = header_version(path, data, held, from, err);
            if (!version) return false;
            start(version);
            started = true;
        }
        const std::size_t cut =
            at_end ? held : from + end_of_whole_lines(data + from, data + held);
        data[held] = '\0';
        // data[0] lies at total - held in the file.
        if (cut > from) piece(data + from, data + cut, total - held + from);
        if (at_end) {
            if (opened) *opened = std::move(file);
            return true;
        }
        std::memmove(data, data + cut, held - cut);
        held -= cut;
    }
}

}  // namespace qz::tool
