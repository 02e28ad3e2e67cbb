// Painting cost of the editor widget. Every benchmark renders the whole
// viewport (800 x 600 pixels, offscreen) once per iteration:
//  - PaintSmall: a 100-line form text, the baseline;
//  - PaintHuge/0,1,2: a 1,000,000-line form text scrolled to the top, the
//    middle and the end; the cost should equal the baseline, because only
//    the visible lines are read, scanned and drawn (counter "lines");
//  - ScrollHuge: a page down, then the paint;
//  - TypeHuge: a character typed and taken back in the middle line, then
//    the paint.
// Run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>
#include <string>

#include "bench/FormTextSample.h"
#include "editor/highlight/DfmHighlighter.h"
#include "editor/widget/CodeEditor.h"

namespace {

std::string formText(int lines) { return vc::bench::makeFormText(lines); }

struct Fixture {
  vc::DfmHighlighter formsyn;
  vc::CodeEditor editor;
  QImage image{800, 600, QImage::Format_ARGB32_Premultiplied};

  explicit Fixture(int lines) {
    formsyn.applyWorkbenchColours();
    editor.model().setHighlighter(&formsyn);
    editor.resize(800 + 20, 600);
    editor.model().loadFromBytes(formText(lines));
    image = QImage(editor.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  }
  void paint() {
    QPainter p(&image);
    editor.viewport()->render(&p);
  }
};

Fixture& huge() {
  static Fixture f(1'000'000);
  return f;
}

void report(benchmark::State& state, Fixture& f) {
  state.counters["lines"] = f.editor.lastPaintedLineCount();
  state.counters["text_lines"] = f.editor.model().lineCount();
}

void BM_PaintSmall(benchmark::State& state) {
  static Fixture f(100);
  for (auto _ : state) f.paint();
  report(state, f);
}
BENCHMARK(BM_PaintSmall)->Unit(benchmark::kMicrosecond);

void BM_PaintHuge(benchmark::State& state) {
  Fixture& f = huge();
  const int where = static_cast<int>(state.range(0));
  const int page = f.editor.visibleLineCount();
  const int top = where == 0   ? 1
                  : where == 1 ? f.editor.model().lineCount() / 2
                               : f.editor.model().lineCount() - page + 1;
  f.editor.setTopLine(top);
  for (auto _ : state) f.paint();
  report(state, f);
  state.counters["top_line"] = f.editor.topLine();
}
BENCHMARK(BM_PaintHuge)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_ScrollHuge(benchmark::State& state) {
  Fixture& f = huge();
  f.editor.model().setCaret(1, f.editor.model().lineCount() / 2);
  for (auto _ : state) {
    f.editor.executeCommand(vc::ecPageDown);
    if (f.editor.model().caretLine() >= f.editor.model().lineCount() - 100) f.editor.model().setCaret(1, 1);
    f.paint();
  }
  report(state, f);
}
BENCHMARK(BM_ScrollHuge)->Unit(benchmark::kMicrosecond);

void BM_TypeHuge(benchmark::State& state) {
  Fixture& f = huge();
  const int middle = f.editor.model().lineCount() / 2;
  f.editor.model().setCaret(5, middle);
  for (auto _ : state) {
    f.editor.model().typeText(u"x");
    f.editor.executeCommand(vc::ecDeleteLastChar);
    f.paint();
  }
  report(state, f);
}
BENCHMARK(BM_TypeHuge)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
