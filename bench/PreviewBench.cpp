// The preview of a form with 2,000 controls of every kind the preview
// draws, and of every corpus form, against rendering the same streams as
// form text (the baseline, measured in the same run). The corpus
// benchmark reports the time per form.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <cstdlib>
#include <string>
#include <vector>

#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "formstream/TextToBinary.h"
#include "modres/Module.h"
#include "platform/Exception.h"
#include "preview/PreviewWindow.h"

namespace {

QApplication& app() {
  static QApplication* a = [] {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "preview_bench";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
  }();
  return *a;
}

std::string toBinary(const std::string& text) {
  vc::TReadOnlyMemoryStream in(text);
  vc::TMemoryStream out;
  vc::TextToBinary(in, out);
  return out.takeData();
}

// 2,000 controls: 40 panels aligned to the top, each holding a label, a
// button, an edit, a check box and 45 more of the common kinds.
const std::string& bigForm() {
  static const std::string stream = [] {
    const char* kinds[] = {"TLabel", "TButton", "TEdit", "TCheckBox", "TRadioButton", "TComboBox",
                           "TListBox", "TMemo", "TBevel", "TShape"};
    std::string t = "object Big: TForm\r\n  ClientWidth = 1000\r\n  ClientHeight = 2000\r\n";
    int n = 0;
    for (int p = 0; p < 40; ++p) {
      t += "  object P" + std::to_string(p) + ": TPanel\r\n    Align = alTop\r\n    Height = 50\r\n";
      for (int c = 0; c < 49; ++c, ++n) {
        t += std::string("    object C") + std::to_string(n) + ": " + kinds[c % 10] + "\r\n" +
             "      Left = " + std::to_string(c * 20) + "\r\n      Width = 19\r\n      Height = 20\r\n" +
             "      Caption = 'Caption " + std::to_string(n) + "'\r\n    end\r\n";
      }
      t += "  end\r\n";
    }
    t += "  object S: TStatusBar\r\n  end\r\nend\r\n";
    return toBinary(t);
  }();
  return stream;
}

void preview(const std::string& stream) {
  vc::TReadOnlyMemoryStream in(stream);
  vc::preview::PreviewWindow window;
  vc::preview::ReaderHooks hooks;
  hooks.findMethod = [](const std::string&) { return false; };
  hooks.error = [](const QString&) { return true; };
  try {
    window.read(in, hooks);
    benchmark::DoNotOptimize(window.renderClient());
  } catch (const vc::Exception&) {
  }
}

void render(const std::string& stream) {
  vc::TReadOnlyMemoryStream in(stream);
  vc::TMemoryStream out;
  try {
    vc::BinaryToText(in, out);
  } catch (const vc::Exception&) {
  }
  benchmark::DoNotOptimize(out.data());
}

std::vector<std::string> corpusForms() {
  std::vector<std::string> forms;
  const QDir corpus(QStringLiteral(VC_CORPUS_DIR));
  auto bytesOf = [](const QString& p) {
    QFile f(p);
    if (!f.open(QIODevice::ReadOnly)) return std::string();
    const QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
  };
  for (const QString& f : QDir(corpus.filePath("text")).entryList(QDir::Files)) {
    try {
      forms.push_back(toBinary(bytesOf(corpus.filePath("text/" + f))));
    } catch (const vc::Exception&) {
    }
  }
  for (const QString& f : QDir(corpus.filePath("binary")).entryList(QDir::Files)) {
    const std::string file = bytesOf(corpus.filePath("binary/" + f));
    vc::TReadOnlyMemoryStream in(file);
    try {
      vc::ReadFormFileHeader(in);
      forms.push_back(file.substr(static_cast<std::size_t>(in.position())));
    } catch (const vc::Exception&) {
    }
  }
  for (const QString& f : QDir(corpus.filePath("modules")).entryList(QDir::Files)) {
    std::unique_ptr<vc::modres::Module> module;
    try {
      module = vc::modres::Module::open(corpus.filePath("modules/" + f).toStdString());
    } catch (const vc::modres::EModuleError&) {
      continue;
    }
    std::vector<std::string> names;
    if (!module->listFormNames(names)) continue;
    for (const std::string& n : names) {
      try {
        auto res = module->readFormResource(n);
        std::string s;
        char buf[65536];
        for (std::size_t k; (k = res->read(buf, sizeof buf)) > 0;) s.append(buf, k);
        if (s.rfind("TPF0", 0) == 0) forms.push_back(s);
      } catch (const vc::Exception&) {
      }
    }
  }
  return forms;
}

const std::vector<std::string>& corpus() {
  static const std::vector<std::string> forms = corpusForms();
  return forms;
}

void BM_Big_TextBaseline(benchmark::State& state) {
  for (auto _ : state) render(bigForm());
}
void BM_Big_Preview(benchmark::State& state) {
  app();
  for (auto _ : state) preview(bigForm());
}
void BM_Corpus_TextBaseline(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& f : corpus()) render(f);
  state.counters["forms"] = static_cast<double>(corpus().size());
  state.counters["per_form"] = benchmark::Counter(static_cast<double>(corpus().size()),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}
void BM_Corpus_Preview(benchmark::State& state) {
  app();
  if (corpus().empty()) state.SkipWithError("no corpus");
  for (auto _ : state)
    for (const std::string& f : corpus()) preview(f);
  state.counters["forms"] = static_cast<double>(corpus().size());
  state.counters["per_form"] = benchmark::Counter(static_cast<double>(corpus().size()),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_Big_TextBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Big_Preview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Corpus_TextBaseline)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Corpus_Preview)->Unit(benchmark::kMillisecond)->Iterations(1);
