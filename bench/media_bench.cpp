// The media check of 10,000 picture references against a folder of 10,000
// files (half of them used), and the Moodle XML export of 100,000 cards that
// show 1,000 pictures of 100 KB (one card in a hundred), which it embeds.
#include <benchmark/benchmark.h>

#include <string>

#include "core/document/card_document.h"
#include "core/exchange/exchange_io.h"
#include "core/exchange/media_check.h"

namespace {

std::string png_head() {
    return std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 29);
}

void BM_MediaCheck(benchmark::State& state) {
    qz::CardDocument doc;
    doc.version = 14;
    doc.append(qz::DataLine(qz::LINE_TITLE, "#画像,000000"));
    // 10,000 references to 5,000 files that exist and 5,000 that do not.
    for (int i = 0; i < 10000; ++i) {
        const std::string n = std::to_string(i % 2 ? i : i + 100000);
        doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + "\\i\"img\\pic" + n + ".png\",答え,<00"));
    }
    std::vector<qz::MediaFile> files;
    for (int i = 0; i < 10000; ++i) files.push_back({"pic" + std::to_string(i) + ".png", 4096});
    const std::string head = png_head();
    const qz::MediaLister list = [&](const std::string& folder) -> std::optional<std::vector<qz::MediaFile>> {
        if (folder.ends_with("img\\")) return files;
        return std::vector<qz::MediaFile>{};
    };
    const qz::MediaHeadReader read = [&](const std::string&) { return std::optional<std::string>(head); };
    std::size_t found = 0;
    for (auto _ : state) found = qz::check_media(doc, "/quiz/data.qzf", list, read).size();
    state.counters["findings"] = static_cast<double>(found);
}
BENCHMARK(BM_MediaCheck)->Unit(benchmark::kMillisecond);

void BM_MoodleXmlWithPictures(benchmark::State& state) {
    qz::CardDocument doc;
    doc.version = 14;
    for (int i = 0; i < 100000; ++i) {
        const std::string n = std::to_string(i);
        if (i % 50 == 0) doc.append(qz::DataLine(qz::LINE_TITLE, "#第" + n + "章," + (i % 100 ? "400000" : "000000")));
        // Every hundredth card shows a picture of its own.
        const std::string picture = i % 100 ? "" : "\\i\"p" + std::to_string(i / 100) + ".png\"";
        doc.append(qz::DataLine(qz::LINE_TEXT, "問題" + n + picture + ",[答え|こたえ]" + n + ",<00"));
    }
    std::string picture = png_head();
    while (picture.size() < 100 * 1024) picture += static_cast<char>(picture.size() * 7919 % 251);
    qz::ExportOptions options;
    options.picture_bytes = [&](const std::string&) { return std::optional<std::string>(picture); };
    std::size_t bytes = 0;
    for (auto _ : state) {
        const qz::ExportResult r =
            qz::export_cards(qz::cards_from_document(doc), qz::ExchangeFormat::moodle_xml, options);
        bytes = r.bytes.size();
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_MoodleXmlWithPictures)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
