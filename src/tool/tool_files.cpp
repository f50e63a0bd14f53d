#include "tool/tool_files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <sstream>
#include <utility>

#include <sys/stat.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <thread>
#endif

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
// Bytes of a mapped file read at a time, then looked through for NUL
// bytes: few enough to stay in the processor's cache between the two.
constexpr std::size_t kMappedPiece = 1 << 18;
// Bytes of a mapped file let go of at a time once read (a multiple of the
// page size).
constexpr std::size_t kReleased = 1 << 22;

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

#ifdef _WIN32
bool map_lines_in_pieces(const std::string& path, std::ostream& err,
                         const std::function<void(int version)>& start,
                         const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                         NulBytes& nul, FilePtr* opened) {
    return read_lines_in_pieces(path, err, start, piece, nul, opened);
}

bool map_lines_in_two_parts(const std::string& path, std::ostream& err,
                            const std::function<void(int version)>& start,
                            const std::function<void(int part, char* p, char* end)>& piece, NulBytes& nul) {
    return read_lines_in_pieces(path, err, start, [&](char* p, char* end, std::uint64_t) { piece(0, p, end); }, nul);
}
#else
namespace {

// The message a mapped file cut short while it is read ends the program
// with (a signal handler can only write what is ready).
std::string cut_short_message;

extern "C" void on_cut_short(int) {
    const ssize_t written = write(STDERR_FILENO, cut_short_message.data(), cut_short_message.size());
    (void)written;
    _exit(2);
}

// MADV_POPULATE_READ (Linux 5.14), spelled out for older headers.
constexpr int kPopulateRead = 22;

// A private mapping of a whole file: reading it copies nothing; a byte a
// reader writes (a NUL behind a line) copies its page alone. The bus error
// of a page the file no longer reaches ends the program with a message.
class MappedFile {
public:
    MappedFile(int fd, std::size_t size, const std::string& path) : size_(size) {
        void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) return;
        data_ = static_cast<char*>(data);
        std::ostringstream message;
        report(message, path, kReadFailedMessage);
        cut_short_message = message.str();
        struct sigaction action {};
        action.sa_handler = on_cut_short;
        sigemptyset(&action.sa_mask);
        sigaction(SIGBUS, &action, &previous_);
    }
    ~MappedFile() {
        if (!data_) return;
        munmap(data_, size_);
        sigaction(SIGBUS, &previous_, nullptr);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    char* data() const { return data_; }

private:
    char* data_ = nullptr;
    std::size_t size_;
    struct sigaction previous_ {};
};

// The lines of [from, to) of a mapped file given a piece at a time, each
// piece's pages mapped in one call, looked through for NUL bytes once read
// and let go of. The lines up to `to` are whole when `last` is false;
// else the last line (without a line break, or ended by a CR, where a NUL
// can follow it) goes to `piece` from a copy. False as soon as a NUL byte
// turns up here (which sets `stopped`) or another part stops (sets it).
bool read_mapped_span(char* data, std::size_t from, std::size_t to, bool last,
                      const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                      std::atomic<bool>& stopped) {
    std::size_t line = from;  // where the lines not yet given begin
    // Pages are let go of from the first that lies wholly in the span on
    // (the one before may still be read by another part); in the first
    // part, the only one to start in the first piece, from the file's start.
    std::size_t released = from < kMappedPiece ? 0 : (from + kReleased - 1) / kReleased * kReleased;
    for (std::size_t at = from, stop; at < to; at = stop) {
        const std::size_t piece_start = at / kMappedPiece * kMappedPiece;
        stop = std::min(to, piece_start + kMappedPiece);
        // The piece's pages mapped in one call rather than a fault each
        // (a third of the time on a cached file); older kernels say no.
        madvise(data + piece_start, stop - piece_start, kPopulateRead);
        // A CR at the end stays for the tail too: a reader may look at
        // the byte behind it.
        const std::size_t cut = stop == to && !last ? to : line + end_of_whole_lines(data + line, data + stop);
        if (cut > line) piece(data + line, data + cut, line);
        line = cut;
        // Looked through once the lines have been read, from the cache;
        // what the pieces told is void when it holds a NUL.
        if (find_byte(data + at, data + stop, '\0') != data + stop) stopped = true;
        if (stopped) return false;
        // The pages read are let go as it goes, so that they do not count
        // as the program's memory (they stay cached).
        const std::size_t done = line / kReleased * kReleased;
        if (done > released) {
            madvise(data + released, done - released, MADV_DONTNEED);
            released = done;
        }
    }
    if (!last || line == to) return true;
    std::string tail(data + line, to - line);
    piece(tail.data(), tail.data() + tail.size(), line);
    return true;
}

// Where the second of two parts of [from, to) begins: after the first line
// break from the middle on (a CR LF whole); `to` when there is none.
std::size_t second_part(const char* data, std::size_t from, std::size_t to) {
    const char* const end = data + to;
    const char* p = find_line_break(data + from + (to - from) / 2, end);
    if (p == end) return to;
    p += p + 1 < end && p[0] == '\r' && p[1] == '\n' ? 2 : 1;
    return static_cast<std::size_t>(p - data);
}

// map_lines_in_pieces in `parts` parts of the file, each read on a thread
// of its own (parts > 1); `piece` gets the part's number.
bool map_lines(const std::string& path, std::ostream& err, const std::function<void(int version)>& start,
               const std::function<void(int part, char* p, char* end, std::uint64_t offset)>& piece, int parts,
               NulBytes& nul, FilePtr* opened) {
    const auto in_order = [&](char* p, char* end, std::uint64_t offset) { piece(0, p, end, offset); };
    const FileFacts facts = file_facts(path);
    // A small file is as quick to copy as to map.
    if (facts.kind != FileKind::regular || facts.size <= kPieceSize || facts.size > kMaxDataFileBytes)
        return read_lines_in_pieces(path, err, start, in_order, nul, opened);
    FilePtr file(std::fopen(path.c_str(), "rb"));
    struct stat status {};
    if (!file || fstat(fileno(file.get()), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(status.st_size) <= kPieceSize ||
        static_cast<std::uint64_t>(status.st_size) > kMaxDataFileBytes)
        return read_lines_in_pieces(path, err, start, in_order, nul, opened);
    const auto size = static_cast<std::size_t>(status.st_size);
    {
        const MappedFile mapped(fileno(file.get()), size, path);
        char* const data = mapped.data();
        if (!data) return read_lines_in_pieces(path, err, start, in_order, nul, opened);
        const std::size_t head = std::min(size, kMappedPiece);
        madvise(data, head, kPopulateRead);
        if (find_byte(data, data + head, '\0') != data + head) return read_lines_whole(path, err, start, in_order, nul);
        std::size_t body = 0;
        const int version = header_version(path, data, size, body, err);
        if (!version) return false;
        start(version);
        std::atomic<bool> stopped = false;
        bool whole = true;
        if (parts > 1) {
            const std::size_t second = second_part(data, body, size);
            // What the other part's reader threw (out of memory) is thrown
            // here, once both have stopped.
            std::exception_ptr failed;
            std::thread other([&] {
                const auto later = [&](char* p, char* end, std::uint64_t offset) { piece(1, p, end, offset); };
                try {
                    read_mapped_span(data, second, size, true, later, stopped);
                } catch (...) {
                    failed = std::current_exception();
                    stopped = true;  // the first part stops too
                }
            });
            try {
                whole = read_mapped_span(data, body, second, second == size, in_order, stopped);
            } catch (...) {
                stopped = true;
                other.join();
                throw;
            }
            other.join();
            if (failed) std::rethrow_exception(failed);
        } else {
            whole = read_mapped_span(data, body, size, true, in_order, stopped);
        }
        if (!whole || stopped) return read_lines_whole(path, err, start, in_order, nul);
    }
    if (opened) *opened = std::move(file);
    return true;
}

}  // namespace

bool map_lines_in_pieces(const std::string& path, std::ostream& err,
                         const std::function<void(int version)>& start,
                         const std::function<void(char* p, char* end, std::uint64_t offset)>& piece,
                         NulBytes& nul, FilePtr* opened) {
    const auto part_piece = [&](int, char* p, char* end, std::uint64_t offset) { piece(p, end, offset); };
    return map_lines(path, err, start, part_piece, 1, nul, opened);
}

bool map_lines_in_two_parts(const std::string& path, std::ostream& err,
                            const std::function<void(int version)>& start,
                            const std::function<void(int part, char* p, char* end)>& piece, NulBytes& nul) {
    const auto part_piece = [&](int part, char* p, char* end, std::uint64_t) { piece(part, p, end); };
    return map_lines(path, err, start, part_piece, 2, nul, nullptr);
}
#endif

}  // namespace qz::tool
