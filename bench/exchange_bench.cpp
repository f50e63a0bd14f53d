// Export and import of 100,000 cards (titles every 50 lines, alternatives,
// a comment on every tenth card) in each format: cards of the document and
// the file's bytes for export; the file's bytes to lines for import.
#include <benchmark/benchmark.h>

#include <string>

#include "core/document/card_document.h"
#include "core/exchange/exchange_io.h"
#include "core/syntax/scan.h"

namespace {

void fill(qz::CardDocument& doc) {
    doc.version = 14;
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            doc.append(qz::DataLine(qz::LINE_TITLE, "#第" + n + "章," + (i % 100 ? "400000" : "011100")));
        else
            doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + "の答えは何でしょうか？,[答え|こたえ]" + n +
                                                       "," + char('<' + i % 32) + char('0' + i % 10) + "0" +
                                                       (i % 10 ? "" : "'コメント" + n)));
    }
}

const qz::ExchangeFormat kFormats[] = {qz::ExchangeFormat::tsv, qz::ExchangeFormat::csv,
                                       qz::ExchangeFormat::gift, qz::ExchangeFormat::aiken};

void BM_Export(benchmark::State& state) {
    qz::CardDocument doc;
    fill(doc);
    const qz::ExchangeFormat format = kFormats[state.range(0)];
    std::size_t bytes = 0;
    for (auto _ : state) {
        const qz::ExportResult r = qz::export_cards(qz::cards_from_document(doc, nullptr, nullptr, qz::format_needs_alternatives(format)), format, {});
        bytes = r.bytes.size();
    }
    state.SetLabel(qz::format_key(format));
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Export)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
    qz::CardDocument doc;
    fill(doc);
    const qz::ExchangeFormat format = kFormats[state.range(0)];
    const std::string bytes = qz::export_cards(qz::cards_from_document(doc, nullptr, nullptr, qz::format_needs_alternatives(format)), format, {}).bytes;
    qz::ImportRequest request;
    request.format = format;
    request.title = "bench";
    std::size_t lines = 0;
    for (auto _ : state) {
        const qz::ImportResult r = qz::import_cards(bytes, request);
        lines = qz::lines_from_cards(r.cards, 14, nullptr).size();
    }
    state.SetLabel(qz::format_key(format));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_Import)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

// A field of a run of backslashes before no mark and no picture, unescaped
// and escaped as an answer is: linear in the run's length (each pair used to
// look for the run's end again, 0.57 s for 64 KB).
void BM_BackslashRun(benchmark::State& state) {
    const std::string stored = std::string(static_cast<std::size_t>(state.range(0)), '\\') + "x";
    const std::string shown = qz::unescape_text(stored, 0, 14, qz::KEEP_ANSWER_SYNTAX | qz::KEEP_IMAGE_REFERENCES);
    for (auto _ : state) {
        std::string escaped;
        qz::append_escaped_text(escaped, shown, 0, qz::KEEP_ANSWER_SYNTAX | qz::KEEP_IMAGE_REFERENCES);
        benchmark::DoNotOptimize(
            qz::unescape_text(stored, 0, 14, qz::KEEP_ANSWER_SYNTAX | qz::KEEP_IMAGE_REFERENCES).size() +
            escaped.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BackslashRun)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity(benchmark::oN);
