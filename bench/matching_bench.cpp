// Find over a whole document: one title at the top and 100,000 question
// lines (about 5 MB of code page 932 text), searched for a text that no line
// holds, so every line and every chosen field is scanned.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/document/card_document.h"
#include "core/operations/matching.h"

namespace {

constexpr int kQuestions = 100000;

// A question line of about 50 bytes with double-byte and single-byte text
// in each field.
std::string question_line(int n) {
    const std::string number = std::to_string(n);
    return "問" + number + "：一番高い山は？,富士山 Fuji " + number + ",<00'地理";
}

struct BenchDocument {
    qz::CardDocument doc;
    std::int64_t bytes = 0;

    BenchDocument() {
        doc.append(qz::DataLine(qz::LINE_TITLE, "#ベンチマーク用の問題集,000000"));
        for (int i = 0; i < kQuestions; ++i)
            doc.append(qz::DataLine(qz::LINE_TEXT, question_line(i)));
        for (const qz::DataLine& line : doc)
            bytes += static_cast<std::int64_t>(line.text().size()) + 2;
    }
};

const BenchDocument& bench_document() {
    static const BenchDocument document;
    return document;
}

// The whole document searched forwards from no current line for a text that
// is nowhere; range(0) is the search-conditions byte.
void BM_FindMatchingLineNoMatch(benchmark::State& state) {
    const BenchDocument& document = bench_document();
    const auto conditions = static_cast<qz::SearchConditions>(state.range(0));
    const qz::MatchTable table = *qz::build_match_table("見つからない文字列", conditions);
    for (auto _ : state) {
        const int found = qz::find_matching_line(document.doc, table, -1, 1);
        benchmark::DoNotOptimize(found);
        if (found != -1) state.SkipWithError("unexpected match");
    }
    state.SetBytesProcessed(state.iterations() * document.bytes);
}
BENCHMARK(BM_FindMatchingLineNoMatch)->Arg(0xF7)->Arg(0x20)->Unit(benchmark::kMillisecond);

// The same, backwards from the end.
void BM_FindMatchingLineBackwardsNoMatch(benchmark::State& state) {
    const BenchDocument& document = bench_document();
    const auto conditions = static_cast<qz::SearchConditions>(state.range(0));
    const qz::MatchTable table = *qz::build_match_table("見つからない文字列", conditions);
    for (auto _ : state) {
        const int found = qz::find_matching_line(document.doc, table, document.doc.count(), -1);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * document.bytes);
}
BENCHMARK(BM_FindMatchingLineBackwardsNoMatch)->Arg(0xF7)->Unit(benchmark::kMillisecond);

// The same search with the governing title looked up for every line
// (CardDocument::enclosing_title) and its text searched every time, instead
// of the LineMatcher's tracking: what the tracking saves.
void BM_LineContainsWithEnclosingTitle(benchmark::State& state) {
    const BenchDocument& document = bench_document();
    const qz::MatchTable table = *qz::build_match_table("見つからない文字列", 0xF7);
    for (auto _ : state) {
        int found = -1;
        for (int i = 0; i < document.doc.count() && found < 0; ++i) {
            const qz::DataLine* line = document.doc.line_at(i);
            if (qz::line_contains(*line, document.doc.enclosing_title(line), table)) found = i;
        }
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(state.iterations() * document.bytes);
}
BENCHMARK(BM_LineContainsWithEnclosingTitle)->Unit(benchmark::kMillisecond);

// The table and the first match of a text that every question holds, for
// comparison: the cost of one find command when matches are near.
void BM_FindMatchingLineNearMatch(benchmark::State& state) {
    const BenchDocument& document = bench_document();
    for (auto _ : state) {
        const int found = qz::find_matching_line(document.doc, "FUJI", 0xF7, 5000, 1);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindMatchingLineNearMatch);

}  // namespace
