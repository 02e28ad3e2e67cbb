#include "preview/PreviewWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>

#include "formstream/Errors.h"
#include "preview/PreviewCharset.h"
#include "preview/PreviewContent.h"
#include "preview/PreviewLook.h"
#include "preview/PreviewNode.h"
#include "preview/PreviewWidgets.h"

namespace vc::preview {

// Draws red frames around the controls whose text does not fit, above
// everything else in the client area.
class FitOverlay : public QWidget {
 public:
  explicit FitOverlay(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  std::vector<QRect> rects;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(QColor(230, 0, 0), 2));
    p.setBrush(Qt::NoBrush);
    for (const QRect& r : rects) p.drawRect(r.adjusted(1, 1, -1, -1));
  }
};

namespace {


int defaultAlign(Kind k) {
  switch (k) {
    case Kind::StatusBar: return alBottom;
    case Kind::ToolBar: return alTop;
    case Kind::Splitter: return alLeft;
    default: return alNone;
  }
}

QSize defaultSize(Kind k) {
  switch (k) {
    case Kind::Button: case Kind::BitBtn: return {75, 25};
    case Kind::SpeedButton: return {23, 22};
    case Kind::Edit: return {121, 21};
    case Kind::ComboBox: return {145, 21};
    case Kind::Memo: return {185, 89};
    case Kind::CheckBox: case Kind::RadioButton: return {97, 17};
    case Kind::GroupBox: case Kind::RadioGroup: return {185, 105};
    case Kind::Panel: return {185, 41};
    case Kind::Bevel: return {50, 50};
    case Kind::ListBox: return {121, 97};
    case Kind::Shape: return {65, 65};
    case Kind::Image: return {105, 105};
    case Kind::StatusBar: return {0, 19};
    case Kind::ToolBar: return {0, 29};
    case Kind::Splitter: return {3, 3};
    case Kind::PageControl: case Kind::TabControl: return {289, 193};
    case Kind::ProgressBar: return {150, 16};
    case Kind::TrackBar: return {150, 45};
    case Kind::ScrollBar: return {121, 17};
    case Kind::ToolButton: return {23, 22};
    case Kind::Label: return {0, 0};
    default: return {100, 41};
  }
}

bool isWindowColored(Kind k) {
  switch (k) {
    case Kind::Edit: case Kind::Memo: case Kind::ListBox: case Kind::ComboBox: case Kind::Grid:
    case Kind::ListView: case Kind::TreeView: return true;
    default: return false;
  }
}

bool parentColorByDefault(Kind k) {
  switch (k) {
    case Kind::Label: case Kind::CheckBox: case Kind::RadioButton: case Kind::GroupBox:
    case Kind::RadioGroup: case Kind::StaticText: case Kind::TabSheet: case Kind::Splitter:
    case Kind::ToolBar: case Kind::ScrollBox: case Kind::Control: case Kind::Image:
    case Kind::Bevel: case Kind::Shape: case Kind::SpeedButton: case Kind::ToolButton:
    case Kind::TrackBar: return true;
    default: return false;
  }
}

// A menu item's ShortCut: virtual key in the low byte, Shift/Ctrl/Alt flags
// in the high byte.
QKeySequence shortcutOf(int sc) {
  const int vk = sc & 0xFF;
  int key = 0;
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) key = vk;
  else if (vk >= 0x70 && vk <= 0x87) key = Qt::Key_F1 + (vk - 0x70);
  else {
    switch (vk) {
      case 0x08: key = Qt::Key_Backspace; break;
      case 0x09: key = Qt::Key_Tab; break;
      case 0x0D: key = Qt::Key_Return; break;
      case 0x1B: key = Qt::Key_Escape; break;
      case 0x20: key = Qt::Key_Space; break;
      case 0x21: key = Qt::Key_PageUp; break;
      case 0x22: key = Qt::Key_PageDown; break;
      case 0x23: key = Qt::Key_End; break;
      case 0x24: key = Qt::Key_Home; break;
      case 0x25: key = Qt::Key_Left; break;
      case 0x26: key = Qt::Key_Up; break;
      case 0x27: key = Qt::Key_Right; break;
      case 0x28: key = Qt::Key_Down; break;
      case 0x2D: key = Qt::Key_Insert; break;
      case 0x2E: key = Qt::Key_Delete; break;
      default: return {};
    }
  }
  int mods = 0;
  if (sc & 0x2000) mods |= Qt::SHIFT;
  if (sc & 0x4000) mods |= Qt::CTRL;
  if (sc & 0x8000) mods |= Qt::ALT;
  return QKeySequence(key | mods);
}

}  // namespace

QString uniqueWindowName(const QString& name, const QWidget* self) {
  if (name.isEmpty()) return name;
  auto taken = [&](const QString& n) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w != self && w->objectName().compare(n, Qt::CaseInsensitive) == 0) return true;
    return false;
  };
  if (!taken(name)) return name;
  for (int i = 1;; ++i) {
    const QString n = QString::asprintf("%s_%d", name.toUtf8().constData(), i);
    if (!taken(n)) return n;
  }
}

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window | Qt::Dialog) {
  setAttribute(Qt::WA_DeleteOnClose, false);
  m_root = std::make_unique<Component>();
  m_client = new QWidget(this);
  m_client->setObjectName(QStringLiteral("client"));
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::read(TStream& stream, const ReaderHooks& hooks) {
  auto root = std::make_unique<Component>();
  readForm(stream, *root, hooks);
  m_root = std::move(root);
  setObjectName(uniqueWindowName(m_root->name, this));
  build();
}

namespace {

void applyFont(FontSpec& f, const Component& c) {
  for (const Property& p : c.properties) {
    const QString n = QString::fromLatin1(p.name);
    if (!n.startsWith(QLatin1String("Font."), Qt::CaseInsensitive)) continue;
    const QString k = n.mid(5).toLower();
    const Value& v = p.value;
    if (k == QLatin1String("name") && v.isString()) f.name = v.text;
    else if (k == QLatin1String("height") && v.isInt()) f.height = static_cast<int>(std::clamp<std::int64_t>(v.integer, -1000, 1000));
    else if (k == QLatin1String("size") && v.isInt()) f.height = -static_cast<int>(std::clamp<std::int64_t>(v.integer, -1000, 1000)) * 96 / 72;
    else if (k == QLatin1String("color")) { if (auto col = colorOf(v)) f.color = *col; }
    else if (k == QLatin1String("charset") && charsetOf(v) >= 0) f.charset = charsetOf(v);
    else if (k == QLatin1String("style") && v.type == Value::Type::Set) {
      f.bold = f.italic = f.underline = f.strikeOut = false;
      for (const std::string& e : v.set) {
        if (e == "fsBold") f.bold = true;
        if (e == "fsItalic") f.italic = true;
        if (e == "fsUnderline") f.underline = true;
        if (e == "fsStrikeOut") f.strikeOut = true;
      }
    }
  }
}

bool hasOwnFont(const Component& c) {
  for (const Property& p : c.properties)
    if (QString::fromLatin1(p.name).startsWith(QLatin1String("Font."), Qt::CaseInsensitive)) return true;
  return false;
}

bool showsCaption(Kind kind) {
  switch (kind) {
    case Kind::Label: case Kind::StaticText: case Kind::Button: case Kind::BitBtn:
    case Kind::SpeedButton: case Kind::ToolButton: case Kind::Edit: case Kind::Memo:
    case Kind::CheckBox: case Kind::RadioButton: case Kind::GroupBox: case Kind::RadioGroup:
    case Kind::Panel: case Kind::TabSheet: case Kind::MenuItem: case Kind::ComboBox:
    case Kind::StatusBar: case Kind::Form: return true;
    default: return false;
  }
}

QString textOf(const Component& c, Kind kind) {
  if (!showsCaption(kind)) return {};
  if (const Value* v = findProperty(c, "Caption"); v && v->isString()) return v->text;
  if (const Value* v = findProperty(c, "Text"); v && v->isString()) return v->text;
  if (kind == Kind::Memo) return stringsProperty(c, "Lines.Strings").join(QLatin1Char('\n'));
  if (kind == Kind::BitBtn) {
    static const std::pair<const char*, const char*> captions[] = {
        {"bkOK", "OK"}, {"bkCancel", "Cancel"}, {"bkYes", "&Yes"}, {"bkNo", "&No"},
        {"bkHelp", "&Help"}, {"bkClose", "&Close"}, {"bkAbort", "Abort"}, {"bkRetry", "&Retry"},
        {"bkIgnore", "&Ignore"}, {"bkAll", "&All"}};
    const QString k = identProperty(c, "Kind");
    for (const auto& [name, caption] : captions)
      if (k == QLatin1String(name)) return QString::fromLatin1(caption);
  }
  if (kind == Kind::StatusBar) return stringProperty(c, "SimpleText");
  return {};
}

bool scrolls(Kind k) {
  return k == Kind::Grid || k == Kind::ListView || k == Kind::TreeView || k == Kind::ListBox || k == Kind::Memo;
}

void setColors(QWidget* w, const QColor& back, const QColor& text, bool windowColored) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, windowColored ? systemColor(15) : back);
  pal.setColor(QPalette::Button, windowColored ? systemColor(15) : back);
  pal.setColor(QPalette::Base, windowColored ? back : systemColor(5));
  pal.setColor(QPalette::WindowText, text);
  pal.setColor(QPalette::ButtonText, text);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::Light, systemColor(20));
  pal.setColor(QPalette::Midlight, systemColor(22));
  pal.setColor(QPalette::Mid, systemColor(16));
  pal.setColor(QPalette::Dark, systemColor(16));
  pal.setColor(QPalette::Shadow, systemColor(21));
  pal.setColor(QPalette::Highlight, systemColor(13));
  // A combo box shows Text where no item is chosen as its placeholder.
  pal.setColor(QPalette::PlaceholderText, text);
  // A widget that inherits these colours from its parent keeps them
  // inherited: an own palette costs a change event (a combo box then makes
  // its drop-down list).
  if (pal != w->palette()) w->setPalette(pal);
}


}  // namespace

// Builds the window in steps: the components become nodes, the client area
// gets its size, each visual component its widget, page controls their tabs
// and the form its main menu; then everything is laid out.
void PreviewWindow::build() {
  m_built = std::make_unique<BuiltForm>();
  m_built->codePages = m_codePages;
  buildNodes();
  const QSize client = clientSize();
  m_built->nodes[0].geo = QRect(QPoint(0, 0), client);

  QStyle* style = previewStyle();
  const Node& root = m_built->nodes[0];
  m_client->setStyle(style);
  m_client->setAutoFillBackground(true);
  setColors(m_client, root.color, root.fontSpec.color, false);
  m_client->setFont(root.font);
  setWindowTitle(withoutAccelerators(root.text));

  buildWidgets(style);
  buildPageTabs();
  buildMainMenu(style);
  layOut(client);
  // Every new widget asks to be polished, laid out and painted by posted
  // events, which a shown window's event loop delivers at once. Delivered
  // now, they are gone before the window is: each widget that dies with an
  // event pending searches the whole queue for it, which for thousands of
  // controls costs more than building them. (Queued calls are left to the
  // event loop: they may belong to anyone.)
  for (QEvent::Type type : {QEvent::PolishRequest, QEvent::LayoutRequest, QEvent::UpdateRequest})
    QCoreApplication::sendPostedEvents(nullptr, type);
}

// The root and its components, depth first, each with its font, colour,
// text and stored placement.
void PreviewWindow::buildNodes() {
  BuiltForm& b = *m_built;
  const Component& root = *m_root;
  const int ppi = intProperty(root, "PixelsPerInch", 96);
  if (boolProperty(root, "Scaled", true) && ppi >= 24 && ppi <= 960) b.scale = 96.0 / ppi;

  // The root.
  Node rootNode;
  rootNode.c = m_root.get();
  rootNode.kind = Kind::Form;
  applyFont(rootNode.fontSpec, root);
  if (const int cp = codePageOf(rootNode.fontSpec.charset, b.codePages); cp != 950) {
    redecodeStrings(*m_root, cp);
    applyFont(rootNode.fontSpec, root);  // the face's name is such a string too
  }
  rootNode.font = rootNode.fontSpec.toFont(b.scale);
  rootNode.color = systemColor(15);
  if (const Value* v = findProperty(root, "Color"))
    if (auto c = colorOf(*v)) rootNode.color = *c;
  rootNode.text = stringProperty(root, "Caption");
  rootNode.widget = m_client;
  rootNode.container = m_client;
  b.nodes.push_back(rootNode);

  // Components, depth first; a widget for each control.
  std::function<void(Component&, int)> add = [&](Component& comp, int parentIndex) {
    for (auto& childPtr : comp.children) {
      Component& c = *childPtr;
      Node n;
      n.c = &c;
      n.kind = c.info->kind;
      n.parent = parentIndex;
      const Node& parent = b.nodes[static_cast<std::size_t>(parentIndex)];
      n.fontSpec = parent.fontSpec;
      ComponentFont facts;
      facts.anyFontProperty = hasOwnFont(c);
      if (findProperty(c, "ParentFont")) facts.parentFont = boolProperty(c, "ParentFont", true);
      const bool ownFont = ownsFont(facts, false);
      if (ownFont) applyFont(n.fontSpec, c);
      if (const int cp = codePageOf(n.fontSpec.charset, b.codePages); cp != 950) {
        redecodeStrings(c, cp);
        if (ownFont) applyFont(n.fontSpec, c);  // the face's name is such a string too
      }
      n.font = n.fontSpec.toFont(b.scale);
      n.color = isWindowColored(n.kind) ? systemColor(5) : systemColor(15);
      if (boolProperty(c, "ParentColor", parentColorByDefault(n.kind)) && !isWindowColored(parent.kind))
        n.color = parent.color;
      if (const Value* v = findProperty(c, "Color"))
        if (auto col = colorOf(*v)) n.color = *col;
      n.text = textOf(c, n.kind);
      n.visible = boolProperty(c, "Visible", true);
      readPlacement(b, n, defaultAlign(n.kind), defaultSize(n.kind));
      n.geo = n.stored;
      const int index = static_cast<int>(b.nodes.size());
      b.nodes.push_back(n);
      b.nodes[static_cast<std::size_t>(parentIndex)].children.push_back(index);
      add(c, index);
    }
  };
  add(*m_root, 0);
  readPlacement(b, b.nodes[0], alNone, QSize());
}

// ClientWidth/ClientHeight when given, else the outer size less a sizeable
// frame (4 px each side, a 19 px caption) and the menu bar.
QSize PreviewWindow::clientSize() const {
  const BuiltForm& b = *m_built;
  const Component& root = *m_root;
  auto scaled = [&](int v) { return b.scaled(v); };
  const QString borderStyle = identProperty(root, "BorderStyle");
  int frameW = 8, frameH = 27;
  if (borderStyle == QLatin1String("bsNone")) frameW = frameH = 0;
  else if (borderStyle == QLatin1String("bsDialog") || borderStyle == QLatin1String("bsSingle")) frameW = 6, frameH = 25;
  else if (borderStyle == QLatin1String("bsToolWindow")) frameW = 6, frameH = 22;
  else if (borderStyle == QLatin1String("bsSizeToolWin")) frameW = 8, frameH = 24;
  bool hasMenu = false;
  for (const Node& n : b.nodes)
    if (n.kind == Kind::MainMenu && n.parent == 0) hasMenu = true;
  int cw = findProperty(root, "ClientWidth") ? scaled(intProperty(root, "ClientWidth", 0))
                                               : scaled(intProperty(root, "Width", 320)) - frameW;
  int ch = findProperty(root, "ClientHeight")
               ? scaled(intProperty(root, "ClientHeight", 0))
               : scaled(intProperty(root, "Height", 240)) - frameH - (hasMenu ? 19 : 0);
  // No form is larger than a few screens; a hostile size is cut down.
  return QSize(std::clamp(cw, 1, 4096), std::clamp(ch, 1, 4096));
}

// A widget for each visual component, by its kind's factory, with what every
// widget shares: name, style, font, colours, state, a closing handler.
void PreviewWindow::buildWidgets(QStyle* style) {
  BuiltForm& b = *m_built;
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    Node& n = b.nodes[i];
    Node& parent = b.nodes[static_cast<std::size_t>(n.parent)];
    Component& c = *n.c;
    QWidget* host = parent.container;
    if (!hasWidget(n.kind) || !host) continue;
    const WidgetFactory make = widgetFactory(n.kind);
    if (!make) continue;
    WidgetContext context{b, n, parent, host, style};
    QWidget* w = make(context);
    if (!w) continue;
    w->setObjectName(c.name);
    w->setStyle(style);
    // The parent's font is inherited as it stands (most controls have their
    // parent's font); setting it again costs a change event. Scrolling views
    // lay out their scroll bars on it.
    if (w->font() != n.font || scrolls(n.kind)) w->setFont(n.font);
    if (n.kind != Kind::PageControl && n.kind != Kind::TabControl) {
      setColors(w, n.color, n.fontSpec.color, isWindowColored(n.kind));
    } else {
      setColors(w, n.color, n.fontSpec.color, false);
    }
    if (n.kind == Kind::TabSheet) setColors(w, n.color, n.fontSpec.color, false);
    w->setEnabled(boolProperty(c, "Enabled", true) && w->isEnabled());
    if (!n.visible && n.kind != Kind::TabSheet) w->hide();
    if (!c.closes) {
    } else if (auto* btn = qobject_cast<QAbstractButton*>(w)) {
      connect(btn, &QAbstractButton::clicked, this, &QWidget::close);
    } else {
      w->installEventFilter(this);
      w->setProperty("vcCloses", true);
    }
    n.widget = w;
    n.container = w;
    c.widget = w;
  }
}

// Page controls: tabs for the sheets, the active sheet shown.
void PreviewWindow::buildPageTabs() {
  BuiltForm& b = *m_built;
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    Node& n = b.nodes[i];
    if (n.kind != Kind::PageControl || !n.widget) continue;
    auto* tabs = n.widget->findChild<QTabBar*>(QStringLiteral("tabs"), Qt::FindDirectChildrenOnly);
    const QString active = identProperty(*n.c, "ActivePage");
    std::vector<int> sheets;
    for (int ci : n.children)
      if (b.nodes[static_cast<std::size_t>(ci)].kind == Kind::TabSheet && b.nodes[static_cast<std::size_t>(ci)].widget)
        sheets.push_back(ci);
    int current = -1;
    for (int si : sheets) {
      Node& s = b.nodes[static_cast<std::size_t>(si)];
      if (boolProperty(*s.c, "TabVisible", true)) {
        const int t = tabs->addTab(s.text);
        tabs->setTabData(t, si);
      }
      if (current < 0 && (active.isEmpty() || s.c->name.compare(active, Qt::CaseInsensitive) == 0)) current = si;
    }
    for (int t = 0; t < tabs->count(); ++t)
      if (tabs->tabData(t).toInt() == current) tabs->setCurrentIndex(t);
    for (int si : sheets) {
      Node& s = b.nodes[static_cast<std::size_t>(si)];
      s.widget->setVisible(si == current);
    }
    QObject::connect(tabs, &QTabBar::currentChanged, n.widget, [this, tabs](int t) {
      if (!m_built) return;
      const int si = tabs->tabData(t).toInt();
      const Node& pcNode = m_built->nodes[static_cast<std::size_t>(m_built->nodes[static_cast<std::size_t>(si)].parent)];
      for (int ci : pcNode.children) {
        const Node& s = m_built->nodes[static_cast<std::size_t>(ci)];
        if (s.kind == Kind::TabSheet && s.widget) s.widget->setVisible(ci == si);
      }
    });
  }
}

// The form's main menu as a menu bar above the client area.
void PreviewWindow::buildMainMenu(QStyle* style) {
  BuiltForm& b = *m_built;
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    Node& n = b.nodes[i];
    if (n.kind != Kind::MainMenu || n.parent != 0) continue;
    if (!m_menuBar) {
      m_menuBar = new QMenuBar(this);
      m_menuBar->setStyle(style);
      m_menuBar->setFont(b.nodes[0].font);
      m_menuBar->setNativeMenuBar(false);
      setColors(m_menuBar, systemColor(4), systemColor(7), false);
    }
    std::function<void(int, QWidget*)> addItems = [&](int parentIndex, QWidget* menu) {
      for (int ci : b.nodes[static_cast<std::size_t>(parentIndex)].children) {
        Node& item = b.nodes[static_cast<std::size_t>(ci)];
        if (item.kind != Kind::MenuItem || !boolProperty(*item.c, "Visible", true)) continue;
        if (item.text == QLatin1String("-")) {
          if (auto* m = qobject_cast<QMenu*>(menu)) m->addSeparator();
          continue;
        }
        QAction* a = nullptr;
        if (!item.children.empty()) {
          auto* sub = new QMenu(item.text, menu);
          sub->setStyle(style);
          sub->setFont(b.nodes[0].font);
          if (auto* bar = qobject_cast<QMenuBar*>(menu)) a = bar->addMenu(sub);
          else a = static_cast<QMenu*>(menu)->addMenu(sub);
          addItems(ci, sub);
        } else {
          a = new QAction(item.text, menu);
          menu->addAction(a);
          const int sc = intProperty(*item.c, "ShortCut", 0);
          if (sc) {
            a->setShortcut(shortcutOf(sc));
            a->setShortcutContext(Qt::WidgetShortcut);
          }
          if (item.c->closes) connect(a, &QAction::triggered, this, &QWidget::close);
        }
        a->setObjectName(item.c->name);
        a->setEnabled(boolProperty(*item.c, "Enabled", true));
        a->setCheckable(boolProperty(*item.c, "Checked", false));
        a->setChecked(boolProperty(*item.c, "Checked", false));
        item.action = a;
      }
    };
    addItems(static_cast<int>(i), m_menuBar);
  }
}

void PreviewWindow::layOut(QSize client) {
  BuiltForm& b = *m_built;
  const int cw = client.width(), ch = client.height();
  // Layout, top down: each container aligns its children in its client
  // rectangle, then the children lay out theirs.
  for (Node& n : b.nodes) n.stored = n.geo;
  autoSizeLabels(b);
  for (Node& n : b.nodes) n.geo = n.stored;
  layoutChildren(b, 0);

  // Window geometry: the menu bar above the client area. A sizeable form
  // can be resized; its controls then follow their anchors and alignment.
  const int menuH = m_menuBar ? m_menuBar->sizeHint().height() : 0;
  if (m_menuBar) m_menuBar->setGeometry(0, 0, cw, menuH);
  m_client->setGeometry(0, menuH, cw, ch);
  b.overlay = new FitOverlay(m_client);
  const QString borderStyle = identProperty(*m_root, "BorderStyle");
  if (borderStyle.isEmpty() || borderStyle == QLatin1String("bsSizeable") || borderStyle == QLatin1String("bsSizeToolWin")) {
    setMinimumSize(1, menuH + 1);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(cw, ch + menuH);
  } else {
    setFixedSize(cw, ch + menuH);
  }
  updateFit();
}

void PreviewWindow::updateFit() {
  BuiltForm& b = *m_built;
  checkFits(b);
  b.overlay->setGeometry(m_client->rect());
  b.overlay->rects.clear();
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    const Node& n = b.nodes[i];
    if (n.fits == 0 && n.widget && n.widget->isVisibleTo(m_client))
      b.overlay->rects.push_back(QRect(n.widget->mapTo(m_client, QPoint(0, 0)), n.geo.size()));
  }
  b.overlay->raise();
  b.overlay->update();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!m_built || m_built->nodes.empty()) return;
  const int menuH = m_menuBar ? m_menuBar->sizeHint().height() : 0;
  if (m_menuBar) m_menuBar->setGeometry(0, 0, width(), menuH);
  m_client->setGeometry(0, menuH, width(), std::max(1, height() - menuH));
  Node& root = m_built->nodes[0];
  if (root.geo.size() == m_client->size()) return;
  root.geo = QRect(QPoint(0, 0), m_client->size());
  layoutChildren(*m_built, 0);
  updateFit();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease && watched->property("vcCloses").toBool()) {
    close();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

std::vector<LayoutRow> PreviewWindow::layoutRows() const {
  std::vector<LayoutRow> rows;
  if (!m_built) return rows;
  for (std::size_t i = 0; i < m_built->nodes.size(); ++i) {
    const Node& n = m_built->nodes[i];
    LayoutRow r;
    r.name = n.c->name;
    r.className = QString::fromLatin1(n.c->className);
    r.text = withoutAccelerators(n.text);
    static const QRegularExpression breaks(QStringLiteral("[\t\r\n]"));
    r.text.replace(breaks, QStringLiteral(" "));
    r.fits = n.fits;
    if (i == 0) {
      r.rect = QRect(QPoint(0, 0), m_client->size());
      r.visible = true;
    } else if (n.widget) {
      r.rect = QRect(n.widget->mapTo(m_client, QPoint(0, 0)), n.widget->size());
      r.visible = n.widget->isVisibleTo(m_client);
    } else if (n.action && m_menuBar && n.parent >= 0 &&
               m_built->nodes[static_cast<std::size_t>(n.parent)].kind == Kind::MainMenu) {
      const QRect g = m_menuBar->actionGeometry(n.action);
      r.rect = g.translated(0, -m_client->y());
      r.visible = true;
    }
    rows.push_back(r);
  }
  return rows;
}

QStringList PreviewWindow::overflowMessages() const {
  QStringList out;
  if (!m_built) return out;
  for (const Node& n : m_built->nodes)
    if (n.fits == 0) out << QStringLiteral("%1: 文字超出控制項").arg(n.c->name);
  return out;
}

std::vector<std::pair<const Component*, int>> PreviewWindow::overflowingComponents() const {
  std::vector<std::pair<const Component*, int>> out;
  if (!m_built) return out;
  for (const Node& n : m_built->nodes)
    if (n.fits == 0) out.emplace_back(n.c, n.geo.width());
  return out;
}

QImage PreviewWindow::renderClient() {
  QImage image(m_client->size(), QImage::Format_RGB32);
  image.fill(m_built && !m_built->nodes.empty() ? m_built->nodes[0].color : systemColor(15));
  QPainter p(&image);
  m_client->render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  p.end();
  return image;
}

}  // namespace vc::preview
