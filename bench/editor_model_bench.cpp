#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/document/editor_model.h"

namespace {

void fill(qz::CardDocument& doc, int n) {
    doc.clear();
    for (int i = 0; i < n; ++i)
        doc.append(qz::DataLine(i % 50 == 0 ? qz::LINE_TITLE : qz::LINE_TEXT,
                                i % 50 == 0 ? "#title,000000" : "question" + std::to_string(i) + ",answer,<00"));
    doc.count_questions();
}

// Deleting every other line of the document, then undoing it.
void BM_DeleteEveryOtherAndUndo(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    qz::CardDocument loaded;
    fill(loaded, n);
    qz::EditorModel model(loaded);
    const qz::CardDocument& doc = model.doc();
    std::vector<int> alternate;
    for (int i = 0; i < n; i += 2) alternate.push_back(i);
    for (auto _ : state) {
        model.set_selection(alternate, 0);
        model.delete_selected();
        model.undo();
        benchmark::DoNotOptimize(doc.count_questions());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DeleteEveryOtherAndUndo)->Arg(100000)->Unit(benchmark::kMillisecond);

// Moving a block of half the lines down, then undoing it.
void BM_MoveHalfAndUndo(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    qz::CardDocument loaded;
    fill(loaded, n);
    qz::EditorModel model(loaded);
    const qz::CardDocument& doc = model.doc();
    std::vector<int> block;
    for (int i = n / 4; i < n / 4 + n / 2; ++i) block.push_back(i);
    for (auto _ : state) {
        model.set_selection(block, block.front());
        model.move_selected(1);
        model.undo();
        benchmark::DoNotOptimize(doc.count_questions());
    }
    state.SetItemsProcessed(state.iterations() * n / 2);
}
BENCHMARK(BM_MoveHalfAndUndo)->Arg(100000)->Unit(benchmark::kMillisecond);

// Single-line steps, as pane commits make them: apply, undo, redo.
void BM_CommitUndoRedo(benchmark::State& state) {
    qz::CardDocument loaded;
    fill(loaded, 100000);
    qz::EditorModel model(loaded);
    const qz::CardDocument& doc = model.doc();
    int i = 0;
    for (auto _ : state) {
        model.commit_line(50000, "changed" + std::to_string(++i) + ",answer,<00");
        model.undo();
        model.redo();
        benchmark::DoNotOptimize(doc.line_at(50000));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CommitUndoRedo);

}  // namespace
