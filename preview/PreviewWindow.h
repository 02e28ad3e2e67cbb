#pragma once
// The preview window: a plain top-level window that a binary form stream is
// read into. It draws the form's components with Qt widgets that look like
// them, lays them out the way the form's runtime does at the designed size,
// and checks whether every control's text fits the room it has.
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "formstream/Stream.h"
#include "preview/PreviewTree.h"
#include "translation/SourceCodePage.h"

class QMenuBar;
class QStyle;

namespace vc::preview {

struct BuiltForm;

// One built component as scripts see it.
struct LayoutRow {
  QString name;
  QString className;
  QRect rect;        // relative to the root's client area
  bool visible = false;
  int fits = -1;     // 1 fits, 0 does not, -1 no text
  QString text;      // accelerators removed
};

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWindow(QWidget* parent = nullptr);
  ~PreviewWindow() override;

  // Reads the binary form stream at the stream's position ("TPF0"...) and
  // builds the window from it. The root's name becomes the window's name,
  // made unique against the application's other windows ("%s_%d"). Raises
  // EReadError when reading stops (see readForm); the window then stays empty.
  void read(TStream& stream, const ReaderHooks& hooks);
  // How 8-bit strings are read (the module's ANSI code page); set before read().
  void setSourceCodePage(const SourceCodePageOptions& options) { m_codePages = options; }

  QWidget* clientArea() const { return m_client; }
  const Component& root() const { return *m_root; }
  // One row per built component, depth first in stream order, the root first.
  std::vector<LayoutRow> layoutRows() const;
  // "NAME: 文字超出控制項" for each control whose text does not fit.
  QStringList overflowMessages() const;
  // The components of those controls, with the width each has.
  std::vector<std::pair<const Component*, int>> overflowingComponents() const;
  // The client area as drawn, at its own size.
  QImage renderClient();

 signals:
  // The window was closed (by its close box or a closing handler).
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void build();
  void buildNodes();
  QSize clientSize() const;
  void buildWidgets(QStyle* style);
  void buildPageTabs();
  void buildMainMenu(QStyle* style);
  void layOut(QSize client);
  void updateFit();  // the fit check and its red frames, after each layout
  std::unique_ptr<Component> m_root;
  QWidget* m_client = nullptr;
  QMenuBar* m_menuBar = nullptr;
  std::unique_ptr<BuiltForm> m_built;
  SourceCodePageOptions m_codePages;
};

// The "%s_%d" rule: name itself when no top-level window but `self` is
// called so, else name_1, name_2... (an empty name stays empty).
QString uniqueWindowName(const QString& name, const QWidget* self);

}  // namespace vc::preview
