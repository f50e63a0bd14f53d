// The marks figures of a generated 100,000-line document: titles every 50
// lines, every history value in turn.
#include <benchmark/benchmark.h>

#include <string>

#include "core/document/card_document.h"
#include "core/operations/marks.h"

namespace {

void BM_CountMarks(benchmark::State& state) {
    qz::CardDocument doc;
    doc.version = 14;
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            doc.append(qz::DataLine(qz::LINE_TITLE, "#第" + n + "章,011100"));
        else
            doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + ",答え" + n + "," +
                                                       char('<' + i % 32) + char('0' + i % 10) + "0"));
    }
    const qz::StatsBy by = state.range(0) ? qz::StatsBy::group : qz::StatsBy::title;
    std::size_t questions = 0;
    for (auto _ : state) {
        const qz::MarkCounts s = qz::count_marks(doc, by);
        questions = s.questions.size();
        benchmark::DoNotOptimize(s.right);
    }
    state.counters["questions"] = static_cast<double>(questions);
}
BENCHMARK(BM_CountMarks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
