// Replace All over a generated 100,000-line document in which every tenth
// question holds the search text once (10,000 matches), and undoing it.
// range(0) is 1 for a kanji search text (the stored-bytes filter skips most
// lines) and 0 for an ASCII one compared without case (every line is read
// field by field).
#include <benchmark/benchmark.h>

#include <string>

#include "core/document/card_document.h"
#include "core/document/editor_model.h"
#include "core/operations/replace.h"

namespace {

constexpr int kLines = 100000;

void fill(qz::CardDocument& doc, bool kanji) {
    doc.clear();
    doc.version = 14;
    const std::string word = kanji ? "旧地名" : "OldName";
    for (int i = 0; i < kLines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0)
            doc.append(qz::DataLine(qz::LINE_TITLE, "#第" + n + "章,211100"));
        else
            doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + (i % 10 == 1 ? word : "") +
                                                       "の答えは？,[答え" + n + "|こたえ],?21'注"));
    }
}

constexpr qz::SearchConditions kConditions = 0xF7;

void BM_ReplaceAll(benchmark::State& state) {
    const bool kanji = state.range(0) != 0;
    qz::CardDocument loaded;
    fill(loaded, kanji);
    qz::EditorModel model(loaded);
    const qz::CardDocument& doc = model.doc();
    const qz::Replacer replacer =
        *qz::Replacer::make(kanji ? "旧地名" : "oldname", "新しい地名", kConditions);
    int matches = 0;
    for (auto _ : state) {
        matches = qz::replace_all(model, replacer, false).matches;
        state.PauseTiming();
        model.undo();
        state.ResumeTiming();
    }
    state.counters["matches"] = matches;
}
BENCHMARK(BM_ReplaceAll)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_UndoReplaceAll(benchmark::State& state) {
    qz::CardDocument loaded;
    fill(loaded, true);
    qz::EditorModel model(loaded);
    const qz::CardDocument& doc = model.doc();
    const qz::Replacer replacer = *qz::Replacer::make("旧地名", "新しい地名", kConditions);
    for (auto _ : state) {
        state.PauseTiming();
        qz::replace_all(model, replacer, false);
        state.ResumeTiming();
        model.undo();
    }
}
BENCHMARK(BM_UndoReplaceAll)->Unit(benchmark::kMillisecond);

}  // namespace
