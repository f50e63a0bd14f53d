#include "tool/tool_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include <sys/stat.h>

#include "core/document/data_file.h"
#include "core/syntax/byte_search.h"
#include "core/syntax/scan.h"
#include "tool/cp932_output.h"

namespace qz::tool {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr char kReadFailed[] = "ファイル読み込みに失敗しました。";

}  // namespace

bool read_file(const std::string& path, std::string& bytes) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    bytes.clear();
    // One read of the size the file system gives; then whatever a file
    // without a size (or one that grew) still holds.
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        bytes.resize(static_cast<std::size_t>(status.st_size));
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
        if (bytes.size() < static_cast<std::size_t>(status.st_size))
            return !std::ferror(file.get());
    }
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0)
        bytes.append(chunk, got);
    return !std::ferror(file.get());
}

std::size_t file_size(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode)
               ? static_cast<std::size_t>(status.st_size)
               : 0;
}

bool read_local_file(const std::string& path, std::string& bytes) {
#ifdef _WIN32
    return read_file(path, bytes);
#else
    std::string local = path;
    for (std::size_t i = 0; i < local.size(); ++i) {
        if (is_double_byte_char(&local[i]))
            ++i;
        else if (local[i] == '\\')
            local[i] = '/';
    }
    return read_file(local, bytes);
#endif
}

void report(std::ostream& err, const std::string& path, const char* message) {
    err << path << ": " << output_text(message) << '\n';
}

bool read_or_report(const std::string& path, std::string& bytes, std::ostream& err) {
    if (read_file(path, bytes)) return true;
    report(err, path, kReadFailed);
    return false;
}

bool load(const std::string& path, CardDocument& doc, std::ostream& err, LoadResult* result) {
    std::string bytes;
    if (!read_or_report(path, bytes, err)) return false;
    LoadResult read = read_data_file(std::move(bytes), doc);
    if (read.status != LoadStatus::ok) {
        report(err, path, load_status_message(read.status));
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
        report(err, path, load_status_message(text.result.status));
        return 0;
    }
    body = static_cast<std::size_t>(text.body - head.data());
    return text.version;
}

bool read_lines_whole(const std::string& path, std::ostream& err,
                      const std::function<void(int version)>& start,
                      const std::function<void(char* p, char* end)>& piece, NulBytes& nul) {
    std::string bytes;
    if (!read_or_report(path, bytes, err)) return false;
    const DataFileText text = open_data_file_text(bytes);
    if (text.result.status != LoadStatus::ok) {
        report(err, path, load_status_message(text.result.status));
        return false;
    }
    nul = text.result.nul_bytes;
    start(text.version);
    piece(text.body, text.end);
    return true;
}

}  // namespace

bool read_lines_in_pieces(const std::string& path, std::ostream& err,
                          const std::function<void(int version)>& start,
                          const std::function<void(char* p, char* end)>& piece, NulBytes& nul) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        report(err, path, kReadFailed);
        return false;
    }
    // One byte more than is read, for the NUL behind the last line.
    std::string buffer(kPieceSize + 1, '\0');
    std::size_t held = 0;
    bool started = false;
    for (;;) {
        // A line longer than the buffer makes it grow.
        if (held + 1 == buffer.size()) buffer.resize(2 * buffer.size() - 1, '\0');
        char* const data = buffer.data();
        const std::size_t got = std::fread(data + held, 1, buffer.size() - 1 - held, file.get());
        if (got == 0 && std::ferror(file.get())) {
            report(err, path, kReadFailed);
            return false;
        }
        if (find_byte(data + held, data + held + got, '\0') != data + held + got)
            return read_lines_whole(path, err, start, piece, nul);
        held += got;
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
        if (cut > from) piece(data + from, data + cut);
        if (at_end) return true;
        std::memmove(data, data + cut, held - cut);
        held -= cut;
    }
}

}  // namespace qz::tool
