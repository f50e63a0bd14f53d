#include "tool/tool_files.h"

#include <cstdio>
#include <memory>
#include <utility>

#include <sys/stat.h>

#include "core/document/data_file.h"
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

}  // namespace qz::tool
