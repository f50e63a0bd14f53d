// Reading (line breaks, classification, document) and writing a data file of
// 100,000 lines, and the memory a loaded document takes.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "core/document/data_file.h"

// Every allocation of the program is counted, so that the memory a
// document takes and the most it took while being read can be told apart.
struct HeapCount {
    std::size_t in_use = 0;
    std::size_t peak = 0;
} heap;

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    heap.in_use += malloc_usable_size(block);
    heap.peak = std::max(heap.peak, heap.in_use);
    return block;
}
// The blocks operator new takes from malloc go back to free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept {
    if (block) heap.in_use -= malloc_usable_size(block);
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

constexpr int kLines = 100000;

const char* const kQuestions[] = {
    "日本の首都は？",         "「表」の訓読みは？",        "フランスの首都は？",
    "鎌倉幕府を開いたのは？", "世界で一番長い川は？",      "「生」の読み方を一つ",
    "大韓民国の首都は？",     "江戸幕府の初代将軍は？",    "日本で一番高い山は？",
    "\\#1の次の番号は？",     "人口1\\,000万人の都市は？", "\\i\"map.bmp\"赤い島は？",
};
const char* const kAnswers[] = {
    "[東京|とうきょう](都)",
    "[おもて|あらわ[す|れる]]",
    "パリ",
    "源頼朝",
    "ナイル(川)",
    "[い[きる|かす]|なま]",
    "[ソウル|京城]",
    "徳川家康",
    "富士山",
    "\\#2",
    "[東京|ロンドン]",
    "北海道",
};

// A realistic file of kLines data lines: a few settings lines, a title every 50 lines, questions
// with Japanese text, answer alternatives and comments, comment lines and
// blank lines.
std::string make_file() {
    std::string file = "QUIZODATA V1.4\r\n";
    file += "$Group=全般,地理,歴史,漢字,国旗,首都,県庁,人物,年号,難問\r\n";
    file += "$TimeLimit=30'秒\r\n";
    file += "$FontQuestion=12,SHIFTJIS,ＭＳ 明朝\r\n";
    for (int i = 3; i < kLines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0) {
            file += "#第" + n + "章 地理と歴史,4" + std::to_string(i % 2) + "1000'章の区切り";
        } else if (i % 50 == 49) {
            // blank line before the next title
        } else if (i % 10 == 7) {
            file += "'メモ：問題" + n + "は出典を確認する";
        } else {
            const int k = i % 12;
            file += "問";
            file += n;
            file += "：";
            file += kQuestions[k];
            file += ',';
            file += kAnswers[(i / 12) % 12];
            file += ',';
            file += static_cast<char>('<' + i % 32);
            file += static_cast<char>('0' + i % 10);
            file += '0';
            if (i % 4 == 0) file += "'要復習";
        }
        file += "\r\n";
    }
    return file;
}

const std::string& sample_file() {
    static const std::string file = make_file();
    return file;
}

void BM_ReadDataFile(benchmark::State& state) {
    const std::string& file = sample_file();
    for (auto _ : state) {
        state.PauseTiming();
        std::string bytes = file;
        auto doc = std::make_unique<qz::CardDocument>();
        state.ResumeTiming();
        qz::read_data_file(std::move(bytes), *doc);
        benchmark::DoNotOptimize(doc->count());
        state.PauseTiming();
        const bool right = doc->count() == kLines;
        doc.reset();
        state.ResumeTiming();
        if (!right) {
            state.SkipWithError("wrong line count");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_ReadDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteDataFile(benchmark::State& state) {
    const std::string& file = sample_file();
    qz::CardDocument doc;
    qz::read_data_file(file, doc);
    for (auto _ : state) {
        std::string out = qz::write_data_file(doc);
        benchmark::DoNotOptimize(out.data());
        if (out.size() != file.size()) {
            state.SkipWithError("output differs in size");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_WriteDataFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// Memory of a loaded document relative to the file size: "doc_ratio" right
// after loading, "indexed_ratio" once the position and ordinal index has
// been built (the line list's labels need it), "load_peak_ratio" the most
// that was in use while the file was read into it (the file's bytes, as
// read, included).
void BM_LoadedDocumentMemory(benchmark::State& state) {
    const std::string& file = sample_file();
    std::size_t loaded = 0, indexed = 0, peak = 0;
    for (auto _ : state) {
        const std::size_t before = heap.in_use;
        heap.peak = before;
        auto doc = std::make_unique<qz::CardDocument>();
        qz::read_data_file(std::string(file), *doc);
        loaded = heap.in_use - before;
        peak = heap.peak - before;
        benchmark::DoNotOptimize(doc->count_questions());
        indexed = heap.in_use - before;
    }
    const double size = static_cast<double>(file.size());
    state.counters["file_MB"] = size / 1e6;
    state.counters["doc_MB"] = static_cast<double>(loaded) / 1e6;
    state.counters["doc_ratio"] = static_cast<double>(loaded) / size;
    state.counters["indexed_ratio"] = static_cast<double>(indexed) / size;
    state.counters["load_peak_ratio"] = static_cast<double>(peak) / size;
}
BENCHMARK(BM_LoadedDocumentMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
