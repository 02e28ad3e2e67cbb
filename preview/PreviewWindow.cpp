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
#include "preview/PreviewContent.h"
#include "preview/PreviewLook.h"

namespace vc::preview {

namespace {

enum Align { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

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

int alignOf(const QString& s) {
  static const char* names[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
  for (int i = 0; i < 7; ++i)
    if (s.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return i;
  return alNone;
}

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

bool hasWidget(Kind k) {
  return k != Kind::NonVisual && k != Kind::MainMenu && k != Kind::MenuItem;
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

struct Node {
  Component* c = nullptr;
  Kind kind = Kind::Control;
  int parent = -1;  // index of the parent node
  QWidget* widget = nullptr;
  QWidget* container = nullptr;  // where child controls go
  QRect geo;                     // in the parent's coordinates
  int align = alNone;
  bool visible = true;
  FontSpec fontSpec;
  QFont font;
  QColor color;
  QString text;      // what the control shows (accelerators kept)
  int fits = -1;
  bool shown = true;  // visible in the window (sheets of other pages are not)
  QAction* action = nullptr;
  std::vector<int> children;
};

struct PreviewWindow::Built {
  std::vector<Node> nodes;
  double scale = 1.0;
  FitOverlay* overlay = nullptr;
};

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
    else if (k == QLatin1String("charset") && v.isInt()) f.charset = static_cast<int>(v.integer);
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

QStyle::StandardPixmap kindIcon(const QString& kind) {
  if (kind == QLatin1String("bkOK") || kind == QLatin1String("bkYes") || kind == QLatin1String("bkAll"))
    return QStyle::SP_DialogApplyButton;
  if (kind == QLatin1String("bkCancel") || kind == QLatin1String("bkNo") || kind == QLatin1String("bkAbort"))
    return QStyle::SP_DialogCancelButton;
  if (kind == QLatin1String("bkHelp")) return QStyle::SP_DialogHelpButton;
  if (kind == QLatin1String("bkClose")) return QStyle::SP_DialogCloseButton;
  if (kind == QLatin1String("bkRetry")) return QStyle::SP_BrowserReload;
  return QStyle::SP_DialogResetButton;
}

// A glyph: the first of NumGlyphs images side by side, the lower-left
// pixel's colour made transparent.
QPixmap glyphOf(const Component& c) {
  const Value* v = findProperty(c, "Glyph.Data");
  if (!v) return {};
  QImage img = decodePicture(v->bytes, false);
  if (img.isNull()) return {};
  const int n = std::clamp(intProperty(c, "NumGlyphs", 1), 1, 4);
  if (n > 1 && img.width() >= n) img = img.copy(0, 0, img.width() / n, img.height());
  img = img.convertToFormat(QImage::Format_ARGB32);
  const QRgb key = img.pixel(0, img.height() - 1);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) == key) img.setPixel(x, y, qRgba(0, 0, 0, 0));
  return QPixmap::fromImage(img);
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
  w->setPalette(pal);
}

int textHeight(const QFont& f) { return QFontMetrics(f).height(); }

}  // namespace

void PreviewWindow::build() {
  m_built = std::make_unique<Built>();
  Built& b = *m_built;
  const Component& root = *m_root;

  const int ppi = intProperty(root, "PixelsPerInch", 96);
  if (boolProperty(root, "Scaled", true) && ppi >= 24 && ppi <= 960) b.scale = 96.0 / ppi;
  auto scaled = [&](int v) { return static_cast<int>(std::lround(v * b.scale)); };

  // The root.
  Node rootNode;
  rootNode.c = m_root.get();
  rootNode.kind = Kind::Form;
  applyFont(rootNode.fontSpec, root);
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
      if (!boolProperty(c, "ParentFont", !hasOwnFont(c))) applyFont(n.fontSpec, c);
      n.font = n.fontSpec.toFont(b.scale);
      n.color = isWindowColored(n.kind) ? systemColor(5) : systemColor(15);
      if (boolProperty(c, "ParentColor", parentColorByDefault(n.kind)) && !isWindowColored(parent.kind))
        n.color = parent.color;
      if (const Value* v = findProperty(c, "Color"))
        if (auto col = colorOf(*v)) n.color = *col;
      n.text = textOf(c, n.kind);
      n.visible = boolProperty(c, "Visible", true);
      const QString al = identProperty(c, "Align");
      n.align = al.isEmpty() ? defaultAlign(n.kind) : alignOf(al);
      const QSize ds = defaultSize(n.kind);
      n.geo = QRect(scaled(intProperty(c, "Left", 0)), scaled(intProperty(c, "Top", 0)),
                    std::max(0, scaled(intProperty(c, "Width", ds.width()))),
                    std::max(0, scaled(intProperty(c, "Height", ds.height()))));
      const int index = static_cast<int>(b.nodes.size());
      b.nodes.push_back(n);
      b.nodes[static_cast<std::size_t>(parentIndex)].children.push_back(index);
      add(c, index);
    }
  };
  add(*m_root, 0);

  // Client size: ClientWidth/ClientHeight when given, else the outer size
  // less a sizeable frame (4 px each side, a 19 px caption) and the menu bar.
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
  cw = std::clamp(cw, 1, 4096);
  ch = std::clamp(ch, 1, 4096);
  b.nodes[0].geo = QRect(0, 0, cw, ch);

  QStyle* style = previewStyle();
  m_client->setStyle(style);
  m_client->setAutoFillBackground(true);
  setColors(m_client, b.nodes[0].color, b.nodes[0].fontSpec.color, false);
  m_client->setFont(b.nodes[0].font);
  setWindowTitle(withoutAccelerators(b.nodes[0].text));

  // Widgets.
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    Node& n = b.nodes[i];
    Node& parent = b.nodes[static_cast<std::size_t>(n.parent)];
    Component& c = *n.c;
    QWidget* host = parent.container;
    if (!hasWidget(n.kind) || !host) continue;
    QWidget* w = nullptr;
    const QColor textColor = n.fontSpec.color;
    switch (n.kind) {
      case Kind::Label:
      case Kind::StaticText: {
        auto* l = new PaintedWidget(PaintedWidget::Look::Label, host);
        l->text = n.text;
        l->wordWrap = boolProperty(c, "WordWrap", false);
        l->showAccel = boolProperty(c, "ShowAccelChar", true);
        const QString a = identProperty(c, "Alignment");
        const QString layout = identProperty(c, "Layout");
        int h = a == QLatin1String("taRightJustify") ? Qt::AlignRight
                : a == QLatin1String("taCenter")     ? Qt::AlignHCenter
                                                     : Qt::AlignLeft;
        int v = layout == QLatin1String("tlCenter")   ? Qt::AlignVCenter
                : layout == QLatin1String("tlBottom") ? Qt::AlignBottom
                                                      : Qt::AlignTop;
        l->alignment = h | v;
        if (!boolProperty(c, "Transparent", false)) l->fill = n.color;
        l->textColor = textColor;
        const QString bs = identProperty(c, "BorderStyle");
        l->singleBorder = n.kind == Kind::StaticText && !bs.isEmpty() && bs != QLatin1String("sbsNone");
        w = l;
        break;
      }
      case Kind::Button:
      case Kind::BitBtn: {
        auto* btn = new QPushButton(n.text, host);
        btn->setDefault(boolProperty(c, "Default", false));
        QPixmap glyph = glyphOf(c);
        const QString kind = identProperty(c, "Kind");
        if (!glyph.isNull()) btn->setIcon(glyph);
        else if (n.kind == Kind::BitBtn && !kind.isEmpty() && kind != QLatin1String("bkCustom"))
          btn->setIcon(style->standardIcon(kindIcon(kind)));
        if (!glyph.isNull()) btn->setIconSize(glyph.size());
        w = btn;
        break;
      }
      case Kind::SpeedButton:
      case Kind::ToolButton: {
        auto* t = new QToolButton(host);
        t->setText(n.text);
        QPixmap glyph = glyphOf(c);
        if (!glyph.isNull()) {
          t->setIcon(glyph);
          t->setIconSize(glyph.size());
        }
        bool captions = true;
        if (n.kind == Kind::ToolButton) {
          captions = boolProperty(*parent.c, "ShowCaptions", false);
          const int bw = scaled(intProperty(*parent.c, "ButtonWidth", 23));
          const int bh = scaled(intProperty(*parent.c, "ButtonHeight", 22));
          if (!findProperty(c, "Width")) n.geo.setWidth(bw);
          if (!findProperty(c, "Height")) n.geo.setHeight(bh);
          const QString st = identProperty(c, "Style");
          if (st == QLatin1String("tbsSeparator") || st == QLatin1String("tbsDivider")) {
            t->setEnabled(false);
            captions = false;
          }
          if (!captions) {
            n.text.clear();
            t->setText(QString());
          } else if (!findProperty(c, "Width")) {
            // A tool bar that shows captions widens its buttons to them.
            n.geo.setWidth(std::max(bw, QFontMetrics(n.font).horizontalAdvance(withoutAccelerators(n.text)) + 8));
          }
        }
        t->setToolButtonStyle(glyph.isNull() ? Qt::ToolButtonTextOnly
                              : captions    ? Qt::ToolButtonTextBesideIcon
                                            : Qt::ToolButtonIconOnly);
        if (!captions && !glyph.isNull()) t->setText(QString());
        t->setAutoRaise(n.kind == Kind::ToolButton ? boolProperty(*parent.c, "Flat", false)
                                                   : boolProperty(c, "Flat", false));
        t->setCheckable(boolProperty(c, "Down", false));
        t->setChecked(boolProperty(c, "Down", false));
        w = t;
        break;
      }
      case Kind::Edit: {
        auto* e = new QLineEdit(n.text, host);
        e->setFrame(identProperty(c, "BorderStyle") != QLatin1String("bsNone"));
        e->setCursorPosition(0);
        if (const Value* pc = findProperty(c, "PasswordChar"); pc && pc->isString() && !pc->text.isEmpty() && pc->text != QStringLiteral("\0"))
          e->setEchoMode(QLineEdit::Password);
        w = e;
        break;
      }
      case Kind::Memo: {
        auto* m = new QPlainTextEdit(host);
        m->setPlainText(n.text);
        m->setLineWrapMode(boolProperty(c, "WordWrap", true) ? QPlainTextEdit::WidgetWidth
                                                              : QPlainTextEdit::NoWrap);
        const QString sb = identProperty(c, "ScrollBars");
        const bool v = sb == QLatin1String("ssVertical") || sb == QLatin1String("ssBoth");
        const bool hz = sb == QLatin1String("ssHorizontal") || sb == QLatin1String("ssBoth");
        m->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        m->setHorizontalScrollBarPolicy(hz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        if (identProperty(c, "BorderStyle") == QLatin1String("bsNone")) m->setFrameShape(QFrame::NoFrame);
        w = m;
        break;
      }
      case Kind::CheckBox: {
        auto* cb = new QCheckBox(n.text, host);
        const QString st = identProperty(c, "State");
        cb->setTristate(st == QLatin1String("cbGrayed"));
        cb->setCheckState(st == QLatin1String("cbGrayed") ? Qt::PartiallyChecked
                          : (boolProperty(c, "Checked", false) || st == QLatin1String("cbChecked")) ? Qt::Checked
                                                                                                     : Qt::Unchecked);
        if (identProperty(c, "Alignment") == QLatin1String("taLeftJustify")) cb->setLayoutDirection(Qt::RightToLeft);
        w = cb;
        break;
      }
      case Kind::RadioButton: {
        auto* rb = new QRadioButton(n.text, host);
        rb->setAutoExclusive(false);
        rb->setChecked(boolProperty(c, "Checked", false));
        if (identProperty(c, "Alignment") == QLatin1String("taLeftJustify")) rb->setLayoutDirection(Qt::RightToLeft);
        w = rb;
        break;
      }
      case Kind::GroupBox:
      case Kind::RadioGroup: {
        auto* g = new QGroupBox(n.text, host);
        w = g;
        break;
      }
      case Kind::Panel:
      case Kind::ToolBar:
      case Kind::ScrollBox:
      case Kind::Control: {
        auto* p = new PaintedWidget(PaintedWidget::Look::Panel, host);
        p->fill = n.color;
        p->textColor = textColor;
        auto bevel = [&](const char* name, int fallback) {
          const QString v = identProperty(c, name);
          if (v.isEmpty()) return fallback;
          return v == QLatin1String("bvLowered") ? 1 : v == QLatin1String("bvRaised") ? 2 : 0;
        };
        if (n.kind == Kind::Panel) {
          p->text = boolProperty(c, "ShowCaption", true) ? n.text : QString();
          p->bevelOuter = bevel("BevelOuter", 2);
          p->bevelInner = bevel("BevelInner", 0);
          p->bevelWidth = std::clamp(scaled(intProperty(c, "BevelWidth", 1)), 0, 100);
          p->borderWidth = std::clamp(scaled(intProperty(c, "BorderWidth", 0)), 0, 100);
          p->singleBorder = identProperty(c, "BorderStyle") == QLatin1String("bsSingle");
          const QString a = identProperty(c, "Alignment");
          p->alignment = (a == QLatin1String("taLeftJustify") ? Qt::AlignLeft
                          : a == QLatin1String("taRightJustify") ? Qt::AlignRight
                                                                 : Qt::AlignHCenter) |
                         Qt::AlignVCenter;
        } else if (n.kind == Kind::ScrollBox) {
          p->bevelOuter = identProperty(c, "BorderStyle") == QLatin1String("bsNone") ? 0 : 1;
          p->bevelWidth = 2;
        }
        w = p;
        break;
      }
      case Kind::Bevel: {
        auto* p = new PaintedWidget(PaintedWidget::Look::Bevel, host);
        p->shape = identProperty(c, "Shape");
        p->raised = identProperty(c, "Style") == QLatin1String("bsRaised");
        w = p;
        break;
      }
      case Kind::Shape: {
        auto* p = new PaintedWidget(PaintedWidget::Look::Shape, host);
        p->shape = identProperty(c, "Shape");
        if (const Value* v = findProperty(c, "Brush.Color")) p->brushColor = colorOf(*v).value_or(Qt::white);
        if (const Value* v = findProperty(c, "Pen.Color")) p->penColor = colorOf(*v).value_or(Qt::black);
        p->penWidth = intProperty(c, "Pen.Width", 1);
        p->brushClear = identProperty(c, "Brush.Style") == QLatin1String("bsClear");
        w = p;
        break;
      }
      case Kind::Image: {
        auto* p = new PaintedWidget(PaintedWidget::Look::Image, host);
        if (const Value* v = findProperty(c, "Picture.Data")) p->image = decodePicture(v->bytes, true);
        p->stretch = boolProperty(c, "Stretch", false);
        p->center = boolProperty(c, "Center", false);
        p->proportional = boolProperty(c, "Proportional", false);
        if (boolProperty(c, "AutoSize", false) && !p->image.isNull()) n.geo.setSize(p->image.size());
        w = p;
        break;
      }
      case Kind::Splitter: {
        auto* p = new PaintedWidget(PaintedWidget::Look::Splitter, host);
        p->fill = n.color;
        w = p;
        break;
      }
      case Kind::StatusBar:
      case Kind::Header: {
        auto* p = new PaintedWidget(n.kind == Kind::StatusBar ? PaintedWidget::Look::StatusBar
                                                              : PaintedWidget::Look::Header, host);
        p->fill = n.color;
        p->textColor = textColor;
        p->text = n.text;
        const char* coll = n.kind == Kind::StatusBar ? "Panels" : "Sections";
        const Value* panels = findProperty(c, coll);
        if (panels && panels->type == Value::Type::Collection && !boolProperty(c, "SimplePanel", false)) {
          for (const auto& item : panels->items) {
            QString t;
            int width = 50;
            for (const Property& pr : item) {
              if (pr.name == "Text" && pr.value.isString()) t = pr.value.text;
              if (pr.name == "Width" && pr.value.isInt()) width = scaled(static_cast<int>(std::clamp<std::int64_t>(pr.value.integer, -1, 10000)));
            }
            p->parts << t;
            p->partWidths.push_back(width);
          }
        }
        if (!p->parts.isEmpty()) n.text = p->parts.join(QLatin1Char(' '));
        w = p;
        break;
      }
      case Kind::ListBox: {
        auto* l = new QListWidget(host);
        l->addItems(stringsProperty(c, "Items.Strings"));
        const int idx = intProperty(c, "ItemIndex", -1);
        if (idx >= 0 && idx < l->count()) l->setCurrentRow(idx);
        if (n.text.isEmpty()) n.text = stringsProperty(c, "Items.Strings").join(QLatin1Char(' '));
        w = l;
        break;
      }
      case Kind::ComboBox: {
        auto* cb = new QComboBox(host);
        const QStringList items = stringsProperty(c, "Items.Strings");
        cb->addItems(items);
        const bool list = identProperty(c, "Style") == QLatin1String("csDropDownList");
        cb->setEditable(!list);
        const int idx = intProperty(c, "ItemIndex", -1);
        if (list) {
          cb->setCurrentIndex(idx >= 0 && idx < items.size() ? idx : -1);
          n.text = cb->currentText();
        } else {
          cb->setEditText(n.text);
          if (cb->lineEdit()) cb->lineEdit()->setCursorPosition(0);
        }
        w = cb;
        break;
      }
      case Kind::PageControl:
      case Kind::TabControl: {
        auto* pc = new QWidget(host);
        auto* frame = new PaintedWidget(PaintedWidget::Look::Frame, pc);
        frame->setObjectName(QStringLiteral("frame"));
        frame->fill = n.color;
        auto* tabs = new QTabBar(pc);
        tabs->setObjectName(QStringLiteral("tabs"));
        tabs->setStyle(style);
        tabs->setFont(n.font);
        tabs->setDrawBase(false);
        tabs->setExpanding(false);
        if (n.kind == Kind::TabControl) {
          for (const QString& t : stringsProperty(c, "Tabs.Strings")) tabs->addTab(t);
          const int ti = intProperty(c, "TabIndex", 0);
          if (ti >= 0 && ti < tabs->count()) tabs->setCurrentIndex(ti);
        }
        w = pc;
        break;
      }
      case Kind::TabSheet: {
        auto* sheet = new QWidget(host);
        sheet->setAutoFillBackground(true);
        w = sheet;
        break;
      }
      case Kind::Grid: {
        auto* t = QString::fromLatin1(c.info->name) == QLatin1String("TDBGrid")
                      ? makeDataGrid(c, n.font, b.scale, host, n.text)
                      : makeStringGrid(c, b.scale, host);
        w = t;
        break;
      }
      case Kind::ListView:
      case Kind::TreeView: {
        auto* t = new QTreeWidget(host);
        t->setRootIsDecorated(n.kind == Kind::TreeView);
        const Value* cols = findProperty(c, "Columns");
        const bool report = identProperty(c, "ViewStyle") == QLatin1String("vsReport");
        if (n.kind == Kind::ListView && report && cols && cols->type == Value::Type::Collection) {
          QStringList labels;
          std::vector<int> widths;
          for (const auto& item : cols->items) {
            QString cap;
            int width = 50;
            for (const Property& pr : item) {
              if (pr.name == "Caption" && pr.value.isString()) cap = pr.value.text;
              if (pr.name == "Width" && pr.value.isInt()) width = static_cast<int>(std::clamp<std::int64_t>(pr.value.integer, 0, 4000));
            }
            labels << cap;
            widths.push_back(scaled(width));
          }
          t->setColumnCount(std::max<int>(1, static_cast<int>(labels.size())));
          t->setHeaderLabels(labels);
          for (std::size_t k = 0; k < widths.size(); ++k) t->setColumnWidth(static_cast<int>(k), widths[k]);
          if (!boolProperty(c, "ShowColumnHeaders", true)) t->header()->hide();
          n.text = labels.join(QLatin1Char(' '));
        } else {
          t->header()->hide();
        }
        w = t;
        break;
      }
      case Kind::ProgressBar: {
        auto* p = new QProgressBar(host);
        p->setTextVisible(false);
        p->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 100)));
        p->setValue(intProperty(c, "Position", 0));
        if (identProperty(c, "Orientation") == QLatin1String("pbVertical")) p->setOrientation(Qt::Vertical);
        w = p;
        break;
      }
      case Kind::TrackBar: {
        auto* s = new QSlider(identProperty(c, "Orientation") == QLatin1String("trVertical") ? Qt::Vertical : Qt::Horizontal, host);
        s->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 10)));
        s->setValue(intProperty(c, "Position", 0));
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(std::max(1, intProperty(c, "Frequency", 1)));
        w = s;
        break;
      }
      case Kind::ScrollBar: {
        auto* s = new QScrollBar(identProperty(c, "Kind") == QLatin1String("sbVertical") ? Qt::Vertical : Qt::Horizontal, host);
        s->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 100)));
        s->setValue(intProperty(c, "Position", 0));
        w = s;
        break;
      }
      default:
        break;
    }
    if (!w) continue;
    w->setObjectName(c.name);
    w->setStyle(style);
    w->setFont(n.font);
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

  // Page controls: tabs for the sheets, the active sheet shown.
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
    std::vector<QWidget*> sheetWidgets;
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

  // The main menu.
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

  // Layout, top down: each container aligns its children in its client
  // rectangle, then the children lay out theirs.
  std::function<void(int)> layoutChildren = [&](int index) {
    Node& n = b.nodes[static_cast<std::size_t>(index)];
    const QSize size = n.geo.size();
    QRect client(QPoint(0, 0), size);
    const int th = textHeight(n.font);
    switch (n.kind) {
      case Kind::GroupBox: case Kind::RadioGroup:
        client.adjust(2, th + 2, -2, -2);
        break;
      case Kind::Panel: {
        const Component& c = *n.c;
        int inset = std::clamp(scaled(intProperty(c, "BorderWidth", 0)), 0, 100);
        const int bw = std::clamp(scaled(intProperty(c, "BevelWidth", 1)), 0, 100);
        if (identProperty(c, "BevelOuter") != QLatin1String("bvNone")) inset += bw;
        const QString inner = identProperty(c, "BevelInner");
        if (!inner.isEmpty() && inner != QLatin1String("bvNone")) inset += bw;
        client.adjust(inset, inset, -inset, -inset);
        break;
      }
      case Kind::ScrollBox:
        client.adjust(2, 2, -2, -2);
        break;
      case Kind::PageControl: case Kind::TabControl: {
        const int tabH = th + 7;
        client = QRect(4, tabH + 4, std::max(0, size.width() - 8), std::max(0, size.height() - tabH - 8));
        if (n.widget) {
          if (auto* f = n.widget->findChild<PaintedWidget*>(QStringLiteral("frame"), Qt::FindDirectChildrenOnly)) {
            f->setGeometry(0, tabH + 2 - 2, size.width(), std::max(0, size.height() - tabH));
            f->lower();
            f->bevelOuter = 2;
            f->bevelWidth = 1;
            f->look = PaintedWidget::Look::Panel;
          }
          if (auto* t = n.widget->findChild<QTabBar*>(QStringLiteral("tabs"), Qt::FindDirectChildrenOnly))
            t->setGeometry(2, 2, std::min(size.width() - 4, t->sizeHint().width()), tabH);
        }
        break;
      }
      default:
        break;
    }
    // Sheets fill their page control's page rectangle.
    for (int ci : n.children) {
      Node& ch = b.nodes[static_cast<std::size_t>(ci)];
      if (ch.kind == Kind::TabSheet) ch.geo = client, ch.align = alNone;
    }
    // AutoSize labels take the size of their text.
    for (int ci : n.children) {
      Node& ch = b.nodes[static_cast<std::size_t>(ci)];
      if ((ch.kind != Kind::Label) || !boolProperty(*ch.c, "AutoSize", true)) continue;
      QFontMetrics m(ch.font);
      const QString shown = withoutAccelerators(ch.text);
      if (boolProperty(*ch.c, "WordWrap", false)) {
        const QRect r = m.boundingRect(QRect(0, 0, std::max(1, ch.geo.width()), 100000), Qt::TextWordWrap, shown);
        ch.geo.setHeight(std::max(r.height(), m.height()));
      } else {
        const QRect r = m.boundingRect(QRect(0, 0, 100000, 100000), 0, shown.isEmpty() ? QStringLiteral(" ") : shown);
        const int w = std::max(r.width(), shown.isEmpty() ? 0 : 1);
        if (identProperty(*ch.c, "Alignment") == QLatin1String("taRightJustify")) ch.geo.setLeft(ch.geo.right() + 1 - w);
        else ch.geo.setWidth(w);
        ch.geo.setHeight(r.height());
      }
    }
    // Align passes: top, bottom, left, right, client; stacked by position,
    // ties in the order of the form text.
    QRect rest = client;
    auto members = [&](int align) {
      std::vector<int> out;
      for (int ci : n.children) {
        const Node& ch = b.nodes[static_cast<std::size_t>(ci)];
        if (ch.align == align && ch.visible && hasWidget(ch.kind)) out.push_back(ci);
      }
      auto key = [&](int ci) {
        const QRect& g = b.nodes[static_cast<std::size_t>(ci)].geo;
        switch (align) {
          case alTop: return g.top();
          case alBottom: return -(g.top() + g.height());
          case alLeft: return g.left();
          case alRight: return -(g.left() + g.width());
          default: return 0;
        }
      };
      std::stable_sort(out.begin(), out.end(), [&](int a, int bb) { return key(a) < key(bb); });
      return out;
    };
    for (int ci : members(alTop)) {
      QRect& g = b.nodes[static_cast<std::size_t>(ci)].geo;
      g = QRect(rest.left(), rest.top(), rest.width(), g.height());
      rest.setTop(rest.top() + g.height());
    }
    for (int ci : members(alBottom)) {
      QRect& g = b.nodes[static_cast<std::size_t>(ci)].geo;
      g = QRect(rest.left(), rest.bottom() + 1 - g.height(), rest.width(), g.height());
      rest.setBottom(rest.bottom() - g.height());
    }
    for (int ci : members(alLeft)) {
      QRect& g = b.nodes[static_cast<std::size_t>(ci)].geo;
      g = QRect(rest.left(), rest.top(), g.width(), std::max(0, rest.height()));
      rest.setLeft(rest.left() + g.width());
    }
    for (int ci : members(alRight)) {
      QRect& g = b.nodes[static_cast<std::size_t>(ci)].geo;
      g = QRect(rest.right() + 1 - g.width(), rest.top(), g.width(), std::max(0, rest.height()));
      rest.setRight(rest.right() - g.width());
    }
    for (int ci : members(alClient))
      b.nodes[static_cast<std::size_t>(ci)].geo =
          QRect(rest.left(), rest.top(), std::max(0, rest.width()), std::max(0, rest.height()));
    // Radio groups place their buttons in columns over the client height.
    if (n.kind == Kind::RadioGroup && n.widget) {
      const QStringList items = stringsProperty(*n.c, "Items.Strings");
      const int count = std::min<int>(static_cast<int>(items.size()), 500);
      const int cols = std::clamp(intProperty(*n.c, "Columns", 1), 1, 16);
      const int index = intProperty(*n.c, "ItemIndex", -1);
      if (count > 0) {
        const int perCol = (count + cols - 1) / cols;
        const int bw = (size.width() - 10) / cols;
        const int avail = size.height() - th - 5;
        const int bh = std::max(1, avail / perCol);
        const int top = th + 1 + (avail % perCol) / 2;
        for (int k = 0; k < count; ++k) {
          auto* rb = new QRadioButton(items[k], n.widget);
          rb->setObjectName(QStringLiteral("item%1").arg(k));
          rb->setStyle(previewStyle());
          rb->setAutoExclusive(false);
          rb->setChecked(k == index);
          rb->setGeometry(8 + (k / perCol) * bw, top + (k % perCol) * bh, bw, bh);
        }
      }
    }
    for (int ci : n.children) {
      Node& ch = b.nodes[static_cast<std::size_t>(ci)];
      if (ch.widget) ch.widget->setGeometry(ch.geo);
      layoutChildren(ci);
    }
  };
  layoutChildren(0);

  // Window geometry: the menu bar above the client area.
  const int menuH = m_menuBar ? m_menuBar->sizeHint().height() : 0;
  if (m_menuBar) m_menuBar->setGeometry(0, 0, cw, menuH);
  m_client->setGeometry(0, menuH, cw, ch);
  setFixedSize(cw, ch + menuH);

  // The fit check.
  for (std::size_t i = 0; i < b.nodes.size(); ++i) {
    Node& n = b.nodes[i];
    const QString shown = withoutAccelerators(n.text);
    if (shown.isEmpty() || !hasWidget(n.kind) || i == 0) {
      n.fits = shown.isEmpty() ? -1 : 1;
      continue;
    }
    QFontMetrics m(n.font);
    const int w = n.geo.width(), h = n.geo.height();
    const bool multi = shown.contains(QLatin1Char('\n')) || shown.contains(QLatin1Char('\r'));
    auto lineWidth = [&](const QString& s) {
      int mw = 0;
      for (const QString& line : s.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        mw = std::max(mw, m.horizontalAdvance(line));
      return mw;
    };
    const int tw = lineWidth(shown);
    bool fits = true;
    const QRect parentClient(QPoint(0, 0), b.nodes[static_cast<std::size_t>(n.parent)].geo.size());
    switch (n.kind) {
      case Kind::Label: {
        const bool wrap = boolProperty(*n.c, "WordWrap", false);
        if (boolProperty(*n.c, "AutoSize", true)) {
          fits = n.geo.right() < parentClient.width() + 0 && n.geo.left() >= 0 &&
                 (!wrap || n.geo.bottom() < parentClient.height());
        } else if (wrap || multi) {
          fits = m.boundingRect(QRect(0, 0, std::max(1, w), 100000), Qt::TextWordWrap, shown).height() <= h;
        } else {
          fits = tw <= w;
        }
        break;
      }
      case Kind::Button: case Kind::BitBtn: case Kind::SpeedButton: case Kind::ToolButton: {
        // The edges take 3 px a side; a glyph and its 4 px spacing come off too.
        int room = w - 6;
        if (auto* b2 = qobject_cast<QAbstractButton*>(n.widget); b2 && !b2->icon().isNull())
          room -= b2->iconSize().width() + 4;
        fits = tw <= room && m.height() <= h;
        break;
      }
      case Kind::CheckBox: case Kind::RadioButton:
        fits = tw <= w - 17 && (multi ? true : m.height() <= h + 2);
        break;
      case Kind::GroupBox: case Kind::RadioGroup: {
        fits = tw <= w - 16;
        if (n.kind == Kind::RadioGroup) {
          const int cols = std::clamp(intProperty(*n.c, "Columns", 1), 1, 16);
          for (const QString& item : stringsProperty(*n.c, "Items.Strings"))
            if (m.horizontalAdvance(withoutAccelerators(item)) > (w - 10) / cols - 20) fits = false;
        }
        break;
      }
      case Kind::Panel:
        fits = tw <= w - 4 && m.height() <= h;
        break;
      case Kind::Edit: case Kind::ComboBox:
        fits = tw <= w - (n.kind == Kind::ComboBox ? 24 : 6);
        break;
      case Kind::Memo:
        fits = boolProperty(*n.c, "WordWrap", true)
                   ? m.boundingRect(QRect(0, 0, std::max(1, w - 8), 100000), Qt::TextWordWrap, shown).height() <= h - 4
                   : tw <= w - 8 && (m.height() * (shown.count(QLatin1Char('\n')) + 1)) <= h - 4;
        break;
      case Kind::ListBox: {
        for (const QString& item : stringsProperty(*n.c, "Items.Strings"))
          if (m.horizontalAdvance(item) > w - 6) fits = false;
        break;
      }
      case Kind::TabSheet: {
        const Node& pc = b.nodes[static_cast<std::size_t>(n.parent)];
        if (pc.widget)
          if (auto* t = pc.widget->findChild<QTabBar*>(QStringLiteral("tabs")))
            fits = t->sizeHint().width() <= pc.geo.width() - 4;
        break;
      }
      case Kind::StatusBar: case Kind::Header: {
        if (auto* p = dynamic_cast<PaintedWidget*>(n.widget)) {
          int x = 0;
          for (int k = 0; k < p->parts.size() && x < w; ++k) {
            int pw = p->partWidths[static_cast<std::size_t>(k)];
            if (k + 1 == p->parts.size() || pw < 0) pw = w - x;
            pw = std::min(pw, w - x);
            if (!p->parts[k].isEmpty() && m.horizontalAdvance(p->parts[k]) > pw - 6) fits = false;
            x += pw;
          }
          if (p->parts.isEmpty()) fits = tw <= w - 6;
        }
        break;
      }
      case Kind::StaticText:
        fits = boolProperty(*n.c, "AutoSize", true) ? n.geo.right() < parentClient.width() : tw <= w;
        break;
      default:
        fits = true;
    }
    n.fits = fits ? 1 : 0;
  }

  b.overlay = new FitOverlay(m_client);
  b.overlay->setGeometry(0, 0, cw, ch);
  for (std::size_t i = 1; i < b.nodes.size(); ++i) {
    const Node& n = b.nodes[i];
    if (n.fits == 0 && n.widget && n.widget->isVisibleTo(m_client))
      b.overlay->rects.push_back(QRect(n.widget->mapTo(m_client, QPoint(0, 0)), n.geo.size()));
  }
  b.overlay->raise();
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
    r.text.replace(QRegularExpression(QStringLiteral("[\t\r\n]")), QStringLiteral(" "));
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

QImage PreviewWindow::renderClient() {
  QImage image(m_client->size(), QImage::Format_RGB32);
  image.fill(m_built && !m_built->nodes.empty() ? m_built->nodes[0].color : systemColor(15));
  QPainter p(&image);
  m_client->render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
  p.end();
  return image;
}

}  // namespace vc::preview
