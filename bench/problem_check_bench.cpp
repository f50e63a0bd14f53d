// The problem check over a generated 100,000-line document: a title every
// 50 lines, questions with two alternatives, comments and blank lines.
// range(0) is the titles' choice count: 2 finds nothing, 3 finds a problem
// on every question, so both the checks and the findings are timed.
#include <benchmark/benchmark.h>

#include <string>

#include "core/document/card_document.h"
#include "core/operations/problem_check.h"

namespace {

constexpr int kLines = 100000;

void fill(qz::CardDocument& doc, int choices) {
    doc.clear();
    for (int i = 0; i < kLines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            doc.append(qz::DataLine(qz::LINE_TITLE, "#第" + n + "章," + std::to_string(choices) +
                                                        "11100'章のコメント"));
        else if (i % 25 == 7)
            doc.append(qz::DataLine(qz::LINE_TEXT, "'コメント行 " + n));
        else if (i % 40 == 13)
            doc.append(qz::DataLine(qz::LINE_TEXT, ""));
        else
            doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + "の答えは？,[答え" + n +
                                                       "|こたえ],?2" + std::to_string(i % 2)));
    }
}

void BM_CheckProblems(benchmark::State& state) {
    qz::CardDocument doc;
    fill(doc, static_cast<int>(state.range(0)));
    std::size_t found = 0;
    for (auto _ : state) {
        const std::vector<qz::Problem> problems = qz::check_problems(doc);
        found = problems.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["problems"] = static_cast<double>(found);
}
BENCHMARK(BM_CheckProblems)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
