// Replace-all of M matches (1x = 100,000) in form text:
//  - Engine: EditorModel::findReplace on a model with the form highlighter,
//    the baseline; then its undo;
//  - Window: the same text in the main window's `Editor`, replaced by a click
//    on "全部置換(&A)" with the search and replacement typed in the fields,
//    then taken back by one Ctrl+Z. Counters: the engine's time measured in
//    the same iteration, and window/engine ratios for the replace and undo.
// Run with --benchmark_counters_tabular=true.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>
#include <chrono>

#include "bench/FormTextSample.h"
#include "editor/highlight/DfmHighlighter.h"
#include "editor/widget/CodeEditor.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Settings.h"
#include "workbench/SearchOptionsPanel.h"
#include "workbench/newform.h"

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const auto& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Engine {
  vc::DfmHighlighter formsyn;
  vc::EditorModel model{100};
  Engine() { model.setHighlighter(&formsyn); }
};

void BM_EngineReplaceAll(benchmark::State& state) {
  const std::string text = vc::bench::makeMatchText(static_cast<int>(state.range(0)));
  Engine e;
  double undoMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    e.model.loadFromBytes(text);
    state.ResumeTiming();
    if (e.model.findReplace("Left", "Width", vc::ReplaceAll | vc::WholeScope) != state.range(0))
      state.SkipWithError("wrong match count");
    state.PauseTiming();
    undoMs += millisecondsOf([&] { e.model.undo(); });
    if (e.model.text() != text) state.SkipWithError("undo did not restore the text");
    state.ResumeTiming();
  }
  state.counters["undo_ms"] = undoMs / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EngineReplaceAll)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_WindowReplaceAll(benchmark::State& state) {
  const std::string text = vc::bench::makeMatchText(static_cast<int>(state.range(0)));
  vc::ScriptedDialogs dialogs;
  vc::Tnewdfm w(dialogs, {});
  w.resize(1000, 700);
  w.show();
  QCoreApplication::processEvents();
  w.searchkey->setText(QStringLiteral("Left"));
  w.rpkey->setText(QStringLiteral("Width"));
  w.R2->trigger();                  // the replace toolbar
  w.searchbtn->click();             // "游標處": the whole text
  w.selpan->caretstart->click();
  Engine e;
  double windowMs = 0, undoMs = 0, engineMs = 0, engineUndoMs = 0;
  for (auto _ : state) {
    state.PauseTiming();
    e.model.loadFromBytes(text);
    engineMs += millisecondsOf([&] { e.model.findReplace("Left", "Width", vc::ReplaceAll | vc::WholeScope); });
    engineUndoMs += millisecondsOf([&] { e.model.undo(); });
    w.Editor->model().setText(text);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    windowMs += millisecondsOf([&] {
      w.ToolbarButton975->click();
      QCoreApplication::processEvents();  // the one repaint
    });
    undoMs += millisecondsOf([&] {
      w.undoItem->trigger();
      QCoreApplication::processEvents();
    });
    state.PauseTiming();
    if (w.Editor->model().text() != text || !dialogs.informations.isEmpty()) state.SkipWithError("not restored");
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["window_ms"] = windowMs / n;
  state.counters["engine_ms"] = engineMs / n;
  state.counters["window_vs_engine"] = windowMs / engineMs;
  state.counters["undo_ms"] = undoMs / n;
  state.counters["undo_vs_engine_undo"] = undoMs / engineUndoMs;
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WindowReplaceAll)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vc::Settings::useFolder(QDir::tempPath() + QStringLiteral("/vc-search-bench-settings"));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
