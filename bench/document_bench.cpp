#include <benchmark/benchmark.h>

#include "core/document/card_document.h"

namespace {

void BM_AppendAndIndex(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        qz::CardDocument doc;
        for (int i = 0; i < n; ++i)
            doc.append(qz::DataLine(i % 50 == 0 ? qz::LINE_TITLE : qz::LINE_TEXT,
                                    i % 50 == 0 ? "#title,000000" : "question,answer,<00"));
        benchmark::DoNotOptimize(doc.count_questions());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendAndIndex)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
