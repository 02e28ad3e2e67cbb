// The translation exchange in the File menu: the open module's strings out as
// a gettext template, and a translation back as form files in a folder.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

#include "workbench/core/PoExchange.h"
#include "workbench/newform.h"

namespace vc {

namespace {

// Shown when reading or writing the forms takes a while (modules with many
// forms); it cannot be cancelled half-way, so a folder is never half-written
// by choice.
class PoProgress {
 public:
  PoProgress(QWidget* parent, const QString& label) : m_dialog(label, QString(), 0, 1, parent) {
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(400);
    m_dialog.setCancelButton(nullptr);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
  }
  ExchangeProgress step(const QString& label) {
    return [this, label](std::size_t done, std::size_t total) {
      m_dialog.setLabelText(label);
      m_dialog.setMaximum(static_cast<int>(total));
      m_dialog.setValue(static_cast<int>(done));
    };
  }

 private:
  QProgressDialog m_dialog;
};

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The first lines of a report, and how many more there are.
QString reportLines(const std::vector<std::string>& lines) {
  constexpr std::size_t kShown = 15;
  QString text;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) text += "\n" + QString::fromStdString(lines[i]);
  if (lines.size() > kShown) text += QStringLiteral("\n（還有 %1 項）").arg(lines.size() - kShown);
  return text;
}

}  // namespace

void Tnewdfm::createPoItems(QMenu* file) {
  poExportItem = file->addAction(QStringLiteral("匯出字串為 PO 範本(&P)..."));
  poApplyItem = file->addAction(QStringLiteral("套用 PO 翻譯(&L)..."));
  connect(file, &QMenu::aboutToShow, this, [this] {
    poExportItem->setEnabled(hasOpenModule());
    poApplyItem->setEnabled(hasOpenModule());
  });
  connect(poExportItem, &QAction::triggered, this, &Tnewdfm::poExportClick);
  connect(poApplyItem, &QAction::triggered, this, &Tnewdfm::poApplyClick);
}

void Tnewdfm::poExportClick() {
  if (!hasOpenModule()) return;
  const QFileInfo module(QFile::decodeName(m_doc.modulePath().c_str()));
  SaveDialogState state;
  state.filter = QStringLiteral("gettext 範本 (*.pot)|*.pot|PO 翻譯檔 (*.po)|*.po");
  state.defaultExt = QStringLiteral("pot");
  state.directory = module.absolutePath();
  state.fileName = module.completeBaseName() + QStringLiteral(".pot");
  if (!m_dialogs.save(this, state)) return;
  try {
    std::vector<PoEntry> entries;
    std::vector<std::string> unreadable;
    {
      PoProgress progress(this, QString());
      ExchangeSource source = openExchangeSource(m_doc.modulePath(), progress.step(QStringLiteral("正在讀取窗體...")));
      entries = templateEntries(source);
      for (const ExchangeForm& form : source.forms)
        if (!form.error.empty()) unreadable.push_back(form.name + ": " + form.error);
      writePoTemplate(localPath(state.fileName), localPath(module.fileName()), entries);
    }
    m_dialogs.information(this, QStringLiteral("已匯出 %1 個字串到 %2").arg(entries.size()).arg(state.fileName) +
                                    reportLines(unreadable));
  } catch (const std::exception& e) {
    showError(e);
  }
}

void Tnewdfm::poApplyClick() {
  if (!hasOpenModule()) return;
  const QString po = m_dialogs.openFile(this, QStringLiteral("套用 PO 翻譯"),
                                        QStringLiteral("PO 翻譯檔 (*.po)|*.po|全部檔案 (*.*)|*.*"));
  if (po.isEmpty()) return;
  const QString dir = m_dialogs.folder(this, QStringLiteral("翻譯後的窗體文件寫入資料夾"), QFileInfo(po).absolutePath());
  if (dir.isEmpty()) return;
  try {
    // A PO file that cannot be read stops everything before any form is written.
    std::vector<PoEntry> entries = readPoFile(localPath(po));
    ApplyResult result;
    {
      PoProgress progress(this, QString());
      ExchangeSource source = openExchangeSource(m_doc.modulePath(), progress.step(QStringLiteral("正在讀取窗體...")));
      result = applyTranslation(source, entries, localPath(QFileInfo(po).fileName()));
      writeTranslatedForms(result, localPath(dir), progress.step(QStringLiteral("正在寫入窗體...")));
    }
    m_dialogs.information(this, QStringLiteral("已寫入 %1 個窗體文件到 %2，套用 %3 個翻譯。")
                                        .arg(result.forms.size())
                                        .arg(dir)
                                        .arg(result.applied) +
                                    reportLines(result.problems));
  } catch (const std::exception& e) {
    showError(e);
  }
}

}  // namespace vc
