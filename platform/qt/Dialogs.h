#pragma once
// Every message box and common dialog the windows show goes through this
// interface, so that tests can script the user's answers.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

class QWidget;

namespace vc {

// A file dialog kept between uses: its file name, folder and filter choice
// persist.
struct FileDialogState {
  // Entries in the "label|mask|label|mask" form; masks separated by ";".
  QString filter;
  int filterIndex = 1;    // 1-based entry chosen
  QString fileName;       // proposed, and after a successful run the chosen path
  QString defaultExt;     // appended to typed names without one, e.g. "txt"
  QString directory;      // folder shown first; empty: the current directory
};
using SaveDialogState = FileDialogState;

class Dialogs {
 public:
  enum class Answer { Yes, No, Cancel };
  virtual ~Dialogs() = default;

  // Information box: the application title and the one button "確定".
  virtual void information(QWidget* parent, const QString& text) = 0;
  // An error shown as an information box with the error icon.
  virtual void error(QWidget* parent, const QString& text) = 0;
  // Confirmation titled "確認" with "是(&Y)", "否(&N)" and "取消".
  virtual Answer confirm(QWidget* parent, const QString& text) = 0;
  // Runs the save dialog; on acceptance updates state.fileName (full path)
  // and state.filterIndex and returns true.
  virtual bool save(QWidget* parent, SaveDialogState& state) = 0;
  // An existing file to read, chosen with filter ("label|mask|..."); empty
  // when the user cancels.
  virtual QString openFile(QWidget* parent, const QString& title, const QString& filter) = 0;
  // A folder to write into, starting at start; empty when the user cancels.
  virtual QString folder(QWidget* parent, const QString& title, const QString& start) = 0;
  // Runs the open dialog for one existing file; on acceptance updates
  // state.fileName, state.filterIndex and state.directory and returns true.
  virtual bool open(QWidget* parent, FileDialogState& state) = 0;
  virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
  virtual std::optional<QFont> font(QWidget* parent, const QFont& initial) = 0;
};

// Real windows: QMessageBox, QFileDialog, QColorDialog, QFontDialog.
class QtDialogs : public Dialogs {
 public:
  void information(QWidget* parent, const QString& text) override;
  void error(QWidget* parent, const QString& text) override;
  Answer confirm(QWidget* parent, const QString& text) override;
  bool save(QWidget* parent, SaveDialogState& state) override;
  QString openFile(QWidget* parent, const QString& title, const QString& filter) override;
  QString folder(QWidget* parent, const QString& title, const QString& start) override;
  bool open(QWidget* parent, FileDialogState& state) override;
  std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
  std::optional<QFont> font(QWidget* parent, const QFont& initial) override;

  // "label|mask;mask|..." to Qt's name filters ("label (mask mask)").
  static QStringList nameFilters(const QString& filter);
};

// Answers taken from queues, for tests. Every box shown is recorded; a
// question asked with an empty queue is recorded in `unexpected` and answered
// with Cancel (or a cancelled dialog).
class ScriptedDialogs : public Dialogs {
 public:
  struct SaveAnswer {
    QString path;        // empty: the user cancels
    int filterIndex = 1;
  };
  std::deque<Answer> answers;
  std::deque<SaveAnswer> saveAnswers;
  std::deque<std::optional<QColor>> colorAnswers;
  std::deque<std::optional<QFont>> fontAnswers;
  std::deque<QString> openAnswers;    // empty string: cancelled
  std::deque<QString> folderAnswers;  // empty string: cancelled

  QStringList informations;   // texts of information boxes, in order
  QStringList errors;         // texts of error boxes
  QStringList confirmations;  // texts of confirmations
  QStringList unexpected;     // questions asked with no scripted answer
  QList<SaveDialogState> saveDialogs;  // the dialog state as each save dialog opened
  QList<FileDialogState> openDialogs;  // the same for each open dialog

  void information(QWidget* parent, const QString& text) override;
  void error(QWidget* parent, const QString& text) override;
  Answer confirm(QWidget* parent, const QString& text) override;
  bool save(QWidget* parent, SaveDialogState& state) override;
  QString openFile(QWidget* parent, const QString& title, const QString& filter) override;
  QString folder(QWidget* parent, const QString& title, const QString& start) override;
  bool open(QWidget* parent, FileDialogState& state) override;
  std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
  std::optional<QFont> font(QWidget* parent, const QFont& initial) override;

  // Every box shown so far (information and error), in order.
  QStringList messages() const { return m_messages; }
  void clearRecords();

 private:
  QString next(std::deque<QString>& answers, const QString& title);
  QStringList m_messages;
};

}  // namespace vc
