// Editor model costs against baselines measured in the same run:
//  - load and fully highlight N lines of form text (1x = 1,000,000 lines)
//    beside splitting the same bytes into lines; reports heap bytes per line;
//  - one keystroke (type a character, then Backspace) in the middle line,
//    with its incremental rescan, which should not grow with the text;
//  - replace all of M matches (1x = 100,000) beside counting them with
//    std::string_view::find.
// Run with --benchmark_counters_tabular=true to read the ratios side by side.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <map>
#include <string>

#include "bench/FormTextSample.h"
#include "editor/highlight/DfmHighlighter.h"
#include "editor/model/EditorModel.h"
#include "editor/model/LineWindow.h"

namespace {

// Generated once per size: the benchmarks run the same sizes repeatedly.
const std::string& formText(int lines) {
  static std::map<int, std::string> cache;
  auto it = cache.find(lines);
  if (it != cache.end()) return it->second;
  return cache.emplace(lines, vc::bench::makeFormText(lines)).first->second;
}

// Heap in use, with the large blocks malloc takes straight from mmap.
std::size_t heapInUse() {
  struct mallinfo2 mi = mallinfo2();
  return mi.uordblks + mi.hblkhd;
}

void BM_SplitLinesBaseline(benchmark::State& state) {
  const std::string& text = formText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t lines = 0, start = 0;
    for (std::size_t p; (p = text.find('\n', start)) != std::string::npos; start = p + 1) {
      std::string line(text, start, p - start);
      benchmark::DoNotOptimize(line.data());
      ++lines;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SplitLinesBaseline)->Arg(1000000)->Arg(2000000)->Arg(4000000)->Unit(benchmark::kMillisecond);

void BM_LoadAndHighlight(benchmark::State& state) {
  const std::string& text = formText(static_cast<int>(state.range(0)));
  vc::DfmHighlighter h;
  double perLine = 0;
  for (auto _ : state) {
    std::size_t before = heapInUse();
    vc::EditorModel m(100);
    m.setHighlighter(&h);
    m.loadFromBytes(text);
    perLine = static_cast<double>(heapInUse() - before) / m.lineCount();
    benchmark::DoNotOptimize(m.lineRange(m.lineCount() - 1));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["heap_bytes_per_line"] = perLine;
}
BENCHMARK(BM_LoadAndHighlight)->Arg(1000000)->Arg(2000000)->Arg(4000000)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInTheMiddle(benchmark::State& state) {
  vc::DfmHighlighter h;
  vc::EditorModel m(100);
  m.setHighlighter(&h);
  m.loadFromBytes(formText(static_cast<int>(state.range(0))));
  vc::LineWindow window(m);  // keeps scrolling the caret into view, as a view does
  window.setLinesInWindow(40);
  const int middle = m.lineCount() / 2;
  m.setCaret(5, middle);
  for (auto _ : state) {
    m.typeText(u"x");
    m.executeCommand(vc::ecDeleteLastChar);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_KeystrokeInTheMiddle)->Arg(1000000)->Arg(2000000)->Arg(4000000)->Unit(benchmark::kMicrosecond);

std::string matchText(int matches) { return vc::bench::makeMatchText(matches); }

void BM_CountMatchesBaseline(benchmark::State& state) {
  const std::string text = matchText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::size_t count = 0;
    std::string_view v(text);
    for (std::size_t p = 0; (p = v.find("Left", p)) != std::string_view::npos; p += 4) ++count;
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CountMatchesBaseline)->Arg(100000)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
  const std::string text = matchText(static_cast<int>(state.range(0)));
  vc::DfmHighlighter h;
  vc::EditorModel m(100);
  m.setHighlighter(&h);
  int replaced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    m.loadFromBytes(text);
    state.ResumeTiming();
    replaced = m.findReplace("Left", "Width", vc::ReplaceAll | vc::WholeScope);
  }
  if (replaced != state.range(0)) state.SkipWithError("wrong match count");
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReplaceAll)->Arg(100000)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond);

void BM_SearchWalk(benchmark::State& state) {
  // Successive searches from the caret, as F3 does, over the whole text.
  const std::string text = matchText(static_cast<int>(state.range(0)));
  vc::EditorModel m(100);
  m.loadFromBytes(text);
  for (auto _ : state) {
    m.setCaret(1, 1);
    int found = 0;
    while (m.findReplace("Left", "", 0) == 1) ++found;
    if (found != state.range(0)) state.SkipWithError("wrong match count");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SearchWalk)->Arg(100000)->Arg(200000)->Arg(400000)->Unit(benchmark::kMillisecond);

}  // namespace
