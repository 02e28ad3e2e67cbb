#pragma once
// The value editors of the string page: a press on a string row opens the
// editor that suits its property (choice list, number box, colour or font
// dialog, string box) next to the row; what the user enters becomes the
// row's modified value and ticks the row. The three panels lie over the
// string table view and can be moved by dragging their background or title.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <optional>
#include <string>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QToolButton;
class QWidget;

namespace vc {

class Dialogs;
class Tnewdfm;
struct StringRow;

class StringValueEditors : public QObject {
  Q_OBJECT

 public:
  enum class Kind { Choice, SetChoice, Colour, Number, FontName, FontSize, String, Fixed };
  struct Dispatch {
    Kind kind = Kind::String;
    const char* listFile = nullptr;  // value list file of a choice editor
  };
  // The editor for a property, by its name and extracted value.
  static Dispatch dispatch(const std::string& name, const std::string& extracted);

  // view: the string table view the panels lie over; page: the widget that
  // holds it and the panels (view coordinates are page coordinates).
  StringValueEditors(Tnewdfm& window, Dialogs& dialogs, QWidget* view, QWidget* page);

  // A press on the view (after it moved the selection), in view coordinates.
  void stringlistMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
  void inteditChange();
  void properChange();
  void SpeedButton5Click();  // "修改(&O)"
  void SpeedButton4Click();  // "否(&N)"
  // Enter or F2 on the table: the selected row's editor, as a press on its
  // value would open it.
  void openSelectedRow();

  // Whether a row is a step of the keyboard route: a string row shown in
  // the table whose editor is the string editor.
  static bool isKeyboardStep(const StringRow& row);

  QPoint anchor() const { return m_anchor; }

  // The row the open editor shows, -1 when none is open. A value is stored
  // only into that row.
  int editedRow() const;
  bool isOpen() const;
  // Hides every panel without storing anything.
  void closeAll();
  // The selection moved: an editor whose row is no longer selected closes.
  void followSelection();

  QFrame* CHInt = nullptr;
  QFrame* CHPRO = nullptr;
  QFrame* CHSTR = nullptr;
  QSpinBox* intedit = nullptr;
  QComboBox* proper = nullptr;
  QLabel* srcstr = nullptr;
  QLineEdit* rpedit = nullptr;
  // In place of rpedit for a quoted string value: the whole value, line
  // breaks included (Enter stores, Ctrl+Enter starts a new line).
  QPlainTextEdit* rpmemo = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QFrame* makePanel(const QString& name, QSize size, const QString& title);
  void hidePanels(QFrame* except = nullptr);
  void showPanel(QFrame* panel, int left, int top);
  // Returns false when the step failed (scrolling is then skipped).
  bool openChoice(const std::string& name, const std::string& value, const char* listFile, bool set);
  bool openNumber(const std::string& name, const std::string& value);
  void openColour();
  void openFontName(const std::string& extracted);
  void openFontSize();
  void openString(const StringRow& row, const std::string& name, const std::string& value);
  void openResourceString(int index);
  // One line or several: the string editor's layout.
  void setStringLayout(bool multiLine);
  // The string editor's text into its row; false when it cannot be stored.
  bool storeString();
  // Enter in an editor: done with this row, on to the next (step 1) or the
  // previous (step -1) string row and its editor; at the end of the table
  // the keyboard goes back to the table.
  void moveOn(int step);
  // Escape: closed without storing, the keyboard back on the table.
  void giveUp();
  bool editorKey(QObject* field, QKeyEvent* key);
  void store(const QString& value);
  void store(const std::string& bytes);  // CP950
  std::optional<std::string> toCp950(const QString& text);

  Tnewdfm& m_window;
  Dialogs& m_dialogs;
  QWidget* m_view;
  QWidget* m_page;
  QPoint m_anchor;
  QPersistentModelIndex m_row;  // the row the editor was opened on
  struct {  // that row's value as it was then
    bool hasModified = false;
    std::string modified;
    bool decoded = false;
    bool checked = false;
  } m_before;
  std::string m_lineBreak = "\r\n";  // of the value in rpmemo
  bool m_loading = false;  // controls are filled by code: no change of the user
  QColor m_colour = Qt::white;
  QFont m_font;
  // Dragging a panel.
  QFrame* m_dragged = nullptr;
  QPoint m_grab;
};

}  // namespace vc
