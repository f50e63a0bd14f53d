// Reading a data file of 1,000,000 lines in memory as qzotool check,
// normalize and find do, each beside its peer measured in the same run on
// the same bytes: a line count of memchr (what `wc -l` does), a plain copy
// (`cp`) and a memmem count of the search text (`grep -c -F`). The counter
// "ratio" is the reader's time over the peer's. The *File benchmarks run
// the commands themselves in-process on the file on disk (in the system's
// temporary folder), beside a read-and-count of its line ends and a kernel
// copy of it; normalize flushes what it writes to the disk, which a plain
// copy does not, so the copy followed by a flush is a second peer there
// ("synced_ratio").
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/document/data_file.h"
#include "core/operations/matching.h"
#include "core/prefs/preferences.h"
#include "tool/find_command.h"
#include "tool/qzotool.h"

namespace {

constexpr int kLines = 1000000;

// The quiz of scripts/bench-read.sh: a title every 50 lines, questions
// with alternatives, comment lines and blank lines.
std::string make_file() {
    std::string file = "QUIZODATA V1.4\r\n";
    for (int i = 0; i < kLines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            file += "#第" + n + "章 A,311000'章のコメント";
        else if (i % 25 == 7)
            file += "'コメント行 " + n;
        else if (i % 40 != 13)
            file += "問題" + n + "の答えは？,[答え" + n + "|こたえ],?2" + std::to_string(i % 10);
        file += "\r\n";
    }
    return file;
}

std::string& sample_file() {
    static std::string file = make_file();
    return file;
}

// Seconds of the monotonic clock (<chrono> does not build with the code
// page 932 execution character set).
double now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times f, adding the time to `total`.
template <class F>
void timed(double& total, F&& f) {
    const double start = now();
    f();
    total += now() - start;
}

void report(benchmark::State& state, double reader, double peer) {
    const auto n = static_cast<double>(state.iterations());
    state.counters["reader_ms"] = reader * 1e3 / n;
    state.counters["peer_ms"] = peer * 1e3 / n;
    state.counters["ratio"] = reader / peer;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(sample_file().size()));
}

// check: the lines reading rewrites, against counting the line ends.
void BM_CheckVsLineCount(benchmark::State& state) {
    std::string& file = sample_file();
    const std::size_t body = 16;
    double reader = 0, peer = 0;
    for (auto _ : state) {
        int rewritten = 0;
        timed(reader, [&] {
            qz::classify_lines(file.data() + body, file.data() + file.size(), 14,
                               [&](const char*, std::size_t, qz::LineClass c) {
                                   rewritten += c.form != qz::LineForm::kept;
                               });
        });
        std::size_t lines = 0;
        timed(peer, [&] {
            const char* p = file.data();
            const char* const end = p + file.size();
            while (const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p))) {
                ++lines;
                p = static_cast<const char*>(hit) + 1;
            }
        });
        benchmark::DoNotOptimize(rewritten);
        benchmark::DoNotOptimize(lines);
        if (lines != kLines + 1) state.SkipWithError("wrong line count");
    }
    report(state, reader, peer);
}
BENCHMARK(BM_CheckVsLineCount)->Unit(benchmark::kMillisecond)->UseRealTime();

// normalize: the bytes written, against copying the file.
void BM_NormalizeVsCopy(benchmark::State& state) {
    std::string& file = sample_file();
    std::string out;
    out.reserve(file.size() + 32);
    double reader = 0, peer = 0;
    for (auto _ : state) {
        timed(reader, [&] {
            out.clear();
            qz::append_header_line(out, 14);
            qz::append_read_lines(out, file.data() + 16, file.data() + file.size(), 14);
        });
        benchmark::DoNotOptimize(out.data());
        const std::size_t written = out.size();
        timed(peer, [&] { out.assign(file); });
        benchmark::DoNotOptimize(out.data());
        if (written != file.size()) state.SkipWithError("output differs in size");
    }
    report(state, reader, peer);
}
BENCHMARK(BM_NormalizeVsCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sample file on disk, and where the file benchmarks write.
const std::string& sample_path() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "read_peers_bench.qzf").string();
        std::ofstream(p, std::ios::binary) << sample_file();
        return p;
    }();
    return path;
}

std::string out_path() {
    return (std::filesystem::temp_directory_path() / "read_peers_bench_out.qzf").string();
}

// What `cp` does here: the kernel copies the file into a new one.
void copy_file(const std::string& from, const std::string& to, bool flush) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    while (copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0) > 0) {
    }
    if (flush) fsync(out);
    close(out);
    close(in);
}

// qzotool check on the file, against reading it and counting its line ends.
void BM_CheckFileVsLineCount(benchmark::State& state) {
    const std::string& path = sample_path();
    double reader = 0, peer = 0;
    std::string buffer(1 << 17, '\0');
    for (auto _ : state) {
        int status = -1;
        timed(reader, [&] {
            std::ostringstream out, err;
            status = qz::tool::run({"check", path}, out, err);
        });
        std::size_t lines = 0;
        timed(peer, [&] {
            const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ssize_t got;
            while ((got = read(fd, buffer.data(), buffer.size())) > 0)
                for (const char *p = buffer.data(), *end = p + got;
                     (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
                     ++p)
                    ++lines;
            close(fd);
        });
        if (status != 0 || lines != kLines + 1) state.SkipWithError("check or count failed");
    }
    report(state, reader, peer);
}
BENCHMARK(BM_CheckFileVsLineCount)->Unit(benchmark::kMillisecond)->UseRealTime();

// qzotool normalize of the file, against copying it, and copying it and
// flushing the copy to the disk as normalize does.
void BM_NormalizeFileVsCopyFile(benchmark::State& state) {
    const std::string& path = sample_path();
    const std::string out = out_path();
    double reader = 0, peer = 0, synced = 0;
    // Each writes a new file: replacing the one before would time how
    // the system frees it too.
    for (auto _ : state) {
        int status = -1;
        std::remove(out.c_str());
        timed(reader, [&] {
            std::ostringstream text, err;
            status = qz::tool::run({"normalize", path, out}, text, err);
        });
        std::remove(out.c_str());
        timed(peer, [&] { copy_file(path, out, false); });
        std::remove(out.c_str());
        timed(synced, [&] { copy_file(path, out, true); });
        if (status != 0) state.SkipWithError("normalize failed");
    }
    report(state, reader, peer);
    const auto n = static_cast<double>(state.iterations());
    state.counters["synced_peer_ms"] = synced * 1e3 / n;
    state.counters["synced_ratio"] = reader / synced;
    std::remove(out.c_str());
}
BENCHMARK(BM_NormalizeFileVsCopyFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// find with no match: the lines holding the text, against counting where
// it occurs.
void BM_FindVsMemmem(benchmark::State& state) {
    const std::string& file = sample_file();
    const std::string text = "見つからない文字列";
    const qz::MatchTable table = *qz::build_match_table(text, static_cast<qz::SearchConditions>(qz::kDefaultSearchConditions));
    std::string copy;
    double reader = 0, peer = 0;
    for (auto _ : state) {
        copy = file;  // the finder splits the lines in place
        std::size_t found = 0;
        timed(reader, [&] {
            qz::tool::LineFinder finder(table, 14);
            finder.read(copy.data() + 16, copy.data() + copy.size());
            found = finder.numbers().size();
        });
        std::size_t hits = 0;
        timed(peer, [&] {
            const char* p = file.data();
            const char* const end = p + file.size();
            while (const void* hit = memmem(p, static_cast<std::size_t>(end - p), text.data(), text.size())) {
                ++hits;
                p = static_cast<const char*>(hit) + 1;
            }
        });
        benchmark::DoNotOptimize(found);
        benchmark::DoNotOptimize(hits);
    }
    report(state, reader, peer);
}
BENCHMARK(BM_FindVsMemmem)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
