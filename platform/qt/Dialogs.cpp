#include "platform/qt/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>

namespace vc {
namespace {

void showBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::NoButton,
                  parent);
  box.addButton(QStringLiteral("確定"), QMessageBox::AcceptRole);
  box.exec();
}

// A file dialog with the state's filters and choice of filter. Set before
// the file name: choosing a filter later would change the name's suffix.
QStringList prepareFileDialog(QFileDialog& dialog, const FileDialogState& state) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  QStringList filters = QtDialogs::nameFilters(state.filter);
  dialog.setNameFilters(filters);
  if (state.filterIndex >= 1 && state.filterIndex <= filters.size())
    dialog.selectNameFilter(filters[state.filterIndex - 1]);
  return filters;
}

// Runs the dialog and keeps what the user chose in state.
bool runFileDialog(QFileDialog& dialog, const QStringList& filters, FileDialogState& state) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  state.fileName = dialog.selectedFiles().first();
  int index = filters.indexOf(dialog.selectedNameFilter());
  state.filterIndex = index >= 0 ? index + 1 : 1;
  state.directory = QFileInfo(state.fileName).absolutePath();
  return true;
}

}  // namespace

void QtDialogs::information(QWidget* parent, const QString& text) {
  showBox(parent, text, QMessageBox::Information);
}

void QtDialogs::error(QWidget* parent, const QString& text) {
  showBox(parent, text, QMessageBox::Critical);
}

Dialogs::Answer QtDialogs::confirm(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
  QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == yes) return Answer::Yes;
  if (box.clickedButton() == no) return Answer::No;
  return Answer::Cancel;
}

QStringList QtDialogs::nameFilters(const QString& filter) {
  QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    out << parts[i] + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return out;
}

QString QtDialogs::openFile(QWidget* parent, const QString& title, const QString& filter) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(nameFilters(filter));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

QString QtDialogs::folder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start);
}

bool QtDialogs::save(QWidget* parent, SaveDialogState& state) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // Replacing an existing file is confirmed first (the dialog's own question).
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  const QStringList filters = prepareFileDialog(dialog, state);
  dialog.setDefaultSuffix(state.defaultExt);
  QFileInfo proposed(state.fileName);
  dialog.setDirectory(!state.directory.isEmpty() ? state.directory
                      : proposed.isAbsolute()    ? proposed.absolutePath()
                                                 : QDir::currentPath());
  dialog.selectFile(proposed.fileName());
  return runFileDialog(dialog, filters, state);
}

bool QtDialogs::open(QWidget* parent, FileDialogState& state) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = prepareFileDialog(dialog, state);
  dialog.setDirectory(state.directory.isEmpty() ? QDir::currentPath() : state.directory);
  return runFileDialog(dialog, filters, state);
}

std::optional<QColor> QtDialogs::color(QWidget* parent, const QColor& initial) {
  QColor c = QColorDialog::getColor(initial, parent);
  if (!c.isValid()) return std::nullopt;
  return c;
}

std::optional<QFont> QtDialogs::font(QWidget* parent, const QFont& initial) {
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, initial, parent);
  if (!ok) return std::nullopt;
  return f;
}

void ScriptedDialogs::information(QWidget*, const QString& text) {
  informations << text;
  m_messages << text;
}

void ScriptedDialogs::error(QWidget*, const QString& text) {
  errors << text;
  m_messages << text;
}

Dialogs::Answer ScriptedDialogs::confirm(QWidget*, const QString& text) {
  confirmations << text;
  if (answers.empty()) {
    unexpected << text;
    return Answer::Cancel;
  }
  Answer a = answers.front();
  answers.pop_front();
  return a;
}

QString ScriptedDialogs::next(std::deque<QString>& answers, const QString& title) {
  if (answers.empty()) {
    unexpected << title;
    return {};
  }
  QString a = answers.front();
  answers.pop_front();
  return a;
}

bool ScriptedDialogs::save(QWidget*, SaveDialogState& state) {
  saveDialogs << state;
  if (saveAnswers.empty()) {
    unexpected << QStringLiteral("save dialog");
    return false;
  }
  SaveAnswer a = saveAnswers.front();
  saveAnswers.pop_front();
  if (a.path.isEmpty()) return false;
  state.fileName = a.path;
  state.filterIndex = a.filterIndex;
  return true;
}

QString ScriptedDialogs::openFile(QWidget*, const QString& title, const QString&) {
  return next(openAnswers, title);
}

QString ScriptedDialogs::folder(QWidget*, const QString& title, const QString&) {
  return next(folderAnswers, title);
}

bool ScriptedDialogs::open(QWidget*, FileDialogState& state) {
  openDialogs << state;
  if (openAnswers.empty()) {
    unexpected << QStringLiteral("open dialog");
    return false;
  }
  const QString path = openAnswers.front();
  openAnswers.pop_front();
  if (path.isEmpty()) return false;
  state.fileName = path;
  state.directory = QFileInfo(path).absolutePath();
  return true;
}

std::optional<QColor> ScriptedDialogs::color(QWidget*, const QColor&) {
  if (colorAnswers.empty()) {
    unexpected << QStringLiteral("colour dialog");
    return std::nullopt;
  }
  auto a = colorAnswers.front();
  colorAnswers.pop_front();
  return a;
}

std::optional<QFont> ScriptedDialogs::font(QWidget*, const QFont&) {
  if (fontAnswers.empty()) {
    unexpected << QStringLiteral("font dialog");
    return std::nullopt;
  }
  auto a = fontAnswers.front();
  fontAnswers.pop_front();
  return a;
}

void ScriptedDialogs::clearRecords() {
  informations.clear();
  errors.clear();
  confirmations.clear();
  unexpected.clear();
  saveDialogs.clear();
  openDialogs.clear();
  m_messages.clear();
}

}  // namespace vc
