#include "preview/PreviewWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "preview/PreviewCharset.h"
#include "preview/PreviewContent.h"
#include "preview/PreviewLook.h"

namespace vc::preview {
namespace {

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

// The images of the image list a control names (none when it names none).
const std::vector<QPixmap>& imageList(BuiltForm& b, const QString& name) {
  static const std::vector<QPixmap> none;
  if (name.isEmpty()) return none;
  const QString key = name.toLower();
  if (auto it = b.imageLists.find(key); it != b.imageLists.end()) return it->second;
  std::vector<QPixmap>& list = b.imageLists[key];
  for (const Node& n : b.nodes)
    if (n.c && n.c->name.compare(name, Qt::CaseInsensitive) == 0 && QString::fromLatin1(n.c->className).compare(QLatin1String("TImageList"), Qt::CaseInsensitive) == 0)
      if (const Value* v = findProperty(*n.c, "Bitmap"); v && v->type == Value::Type::Binary) list = decodeImageList(v->bytes);
  return list;
}

QWidget* makeLabel(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  const QColor textColor = n.fontSpec.color;
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
  return l;
}

QWidget* makeButton(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  QStyle* style = x.style;
  auto* btn = new QPushButton(n.text, host);
  btn->setDefault(boolProperty(c, "Default", false));
  QPixmap glyph = glyphOf(c);
  const QString kind = identProperty(c, "Kind");
  if (!glyph.isNull()) btn->setIcon(glyph);
  else if (n.kind == Kind::BitBtn && !kind.isEmpty() && kind != QLatin1String("bkCustom"))
    btn->setIcon(style->standardIcon(kindIcon(kind)));
  if (!glyph.isNull()) btn->setIconSize(glyph.size());
  return btn;
}

QWidget* makeToolButton(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  const Node& parent = x.parent;
  BuiltForm& b = x.b;
  auto* t = new QToolButton(host);
  t->setText(n.text);
  QPixmap glyph = glyphOf(c);
  if (glyph.isNull() && n.kind == Kind::ToolButton) {
    const std::vector<QPixmap>& list = imageList(b, identProperty(*parent.c, "Images"));
    const int k = intProperty(c, "ImageIndex", -1);
    if (k >= 0 && static_cast<std::size_t>(k) < list.size()) glyph = list[static_cast<std::size_t>(k)];
  }
  if (!glyph.isNull()) {
    t->setIcon(glyph);
    t->setIconSize(glyph.size());
  }
  bool captions = true;
  if (n.kind == Kind::ToolButton) {
    captions = boolProperty(*parent.c, "ShowCaptions", false);
    const int bw = x.b.scaled(intProperty(*parent.c, "ButtonWidth", 23));
    const int bh = x.b.scaled(intProperty(*parent.c, "ButtonHeight", 22));
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
  return t;
}

QWidget* makeEdit(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* e = new QLineEdit(n.text, host);
  e->setFrame(identProperty(c, "BorderStyle") != QLatin1String("bsNone"));
  e->setCursorPosition(0);
  if (const Value* pc = findProperty(c, "PasswordChar"); pc && pc->isString() && !pc->text.isEmpty() && pc->text != QStringLiteral("\0"))
    e->setEchoMode(QLineEdit::Password);
  return e;
}

QWidget* makeMemo(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
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
  return m;
}

QWidget* makeCheckBox(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* cb = new QCheckBox(n.text, host);
  const QString st = identProperty(c, "State");
  cb->setTristate(st == QLatin1String("cbGrayed"));
  cb->setCheckState(st == QLatin1String("cbGrayed") ? Qt::PartiallyChecked
                    : (boolProperty(c, "Checked", false) || st == QLatin1String("cbChecked")) ? Qt::Checked
                                                                                               : Qt::Unchecked);
  if (identProperty(c, "Alignment") == QLatin1String("taLeftJustify")) cb->setLayoutDirection(Qt::RightToLeft);
  return cb;
}

QWidget* makeRadioButton(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* rb = new QRadioButton(n.text, host);
  rb->setAutoExclusive(false);
  rb->setChecked(boolProperty(c, "Checked", false));
  if (identProperty(c, "Alignment") == QLatin1String("taLeftJustify")) rb->setLayoutDirection(Qt::RightToLeft);
  return rb;
}

QWidget* makeGroupBox(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  QStyle* style = x.style;
  auto* g = new QGroupBox(n.text, host);
  if (n.kind == Kind::RadioGroup) {
    const QStringList items = stringsProperty(c, "Items.Strings");
    const int index = intProperty(c, "ItemIndex", -1);
    for (int k = 0; k < std::min<int>(static_cast<int>(items.size()), 500); ++k) {
      auto* rb = new QRadioButton(items[k], g);
      rb->setObjectName(QStringLiteral("item%1").arg(k));
      rb->setStyle(style);
      rb->setAutoExclusive(false);
      rb->setChecked(k == index);
    }
  }
  return g;
}

QWidget* makePanel(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  const QColor textColor = n.fontSpec.color;
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
    p->bevelWidth = std::clamp(x.b.scaled(intProperty(c, "BevelWidth", 1)), 0, 100);
    p->borderWidth = std::clamp(x.b.scaled(intProperty(c, "BorderWidth", 0)), 0, 100);
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
  return p;
}

QWidget* makeBevel(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* p = new PaintedWidget(PaintedWidget::Look::Bevel, host);
  p->shape = identProperty(c, "Shape");
  p->raised = identProperty(c, "Style") == QLatin1String("bsRaised");
  return p;
}

QWidget* makeShape(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* p = new PaintedWidget(PaintedWidget::Look::Shape, host);
  p->shape = identProperty(c, "Shape");
  if (const Value* v = findProperty(c, "Brush.Color")) p->brushColor = colorOf(*v).value_or(Qt::white);
  if (const Value* v = findProperty(c, "Pen.Color")) p->penColor = colorOf(*v).value_or(Qt::black);
  p->penWidth = intProperty(c, "Pen.Width", 1);
  p->brushClear = identProperty(c, "Brush.Style") == QLatin1String("bsClear");
  return p;
}

QWidget* makeImage(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* p = new PaintedWidget(PaintedWidget::Look::Image, host);
  if (const Value* v = findProperty(c, "Picture.Data")) p->image = decodePicture(v->bytes, true);
  p->stretch = boolProperty(c, "Stretch", false);
  p->center = boolProperty(c, "Center", false);
  p->proportional = boolProperty(c, "Proportional", false);
  if (boolProperty(c, "AutoSize", false) && !p->image.isNull()) n.geo.setSize(p->image.size());
  return p;
}

QWidget* makeSplitter(WidgetContext& x) {
  Node& n = x.n;
  QWidget* host = x.host;
  auto* p = new PaintedWidget(PaintedWidget::Look::Splitter, host);
  p->fill = n.color;
  return p;
}

QWidget* makeStatusBar(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  const QColor textColor = n.fontSpec.color;
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
        if (pr.name == "Width" && pr.value.isInt()) width = x.b.scaled(static_cast<int>(std::clamp<std::int64_t>(pr.value.integer, -1, 10000)));
      }
      p->parts << t;
      p->partWidths.push_back(width);
    }
  }
  if (!p->parts.isEmpty()) n.text = p->parts.join(QLatin1Char(' '));
  return p;
}

QWidget* makeListBox(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* l = new QListWidget(host);
  l->addItems(stringsProperty(c, "Items.Strings"));
  const int idx = intProperty(c, "ItemIndex", -1);
  if (idx >= 0 && idx < l->count()) l->setCurrentRow(idx);
  if (n.text.isEmpty()) n.text = stringsProperty(c, "Items.Strings").join(QLatin1Char(' '));
  return l;
}

QWidget* makeComboBox(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* cb = new QComboBox(host);
  const QStringList items = stringsProperty(c, "Items.Strings");
  cb->addItems(items);
  const bool list = identProperty(c, "Style") == QLatin1String("csDropDownList");
  const int idx = intProperty(c, "ItemIndex", -1);
  if (list) {
    cb->setCurrentIndex(idx >= 0 && idx < items.size() ? idx : -1);
    n.text = cb->currentText();
  } else {
    // The edit part shows Text. An editable combo box costs a line
    // edit with its completer, a fifth of a large form's build time;
    // the text drawn where no item is chosen looks the same.
    cb->setCurrentIndex(-1);
    cb->setPlaceholderText(n.text);
  }
  return cb;
}

QWidget* makeTabs(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  QStyle* style = x.style;
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
  return pc;
}

QWidget* makeTabSheet(WidgetContext& x) {
  auto* sheet = new QWidget(x.host);
  sheet->setAutoFillBackground(true);
  return sheet;
}

QWidget* makeGrid(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  BuiltForm& b = x.b;
  auto* t = QString::fromLatin1(c.info->name) == QLatin1String("TDBGrid")
                ? makeDataGrid(c, n.font, b.scale, host, n.text)
                : makeStringGrid(c, b.scale, host);
  return t;
}

QWidget* makeItemViewOf(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  BuiltForm& b = x.b;
  const char* images = n.kind == Kind::TreeView || identProperty(c, "ViewStyle") != QLatin1String("vsIcon")
                           ? (findProperty(c, "SmallImages") ? "SmallImages" : "Images")
                           : "LargeImages";
  return makeItemView(c, n.kind, b.scale, imageList(b, identProperty(c, images)), codePageOf(n.fontSpec.charset, b.codePages),
                      host, n.text);
}

QWidget* makeProgressBar(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* p = new QProgressBar(host);
  p->setTextVisible(false);
  p->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 100)));
  p->setValue(intProperty(c, "Position", 0));
  if (identProperty(c, "Orientation") == QLatin1String("pbVertical")) p->setOrientation(Qt::Vertical);
  return p;
}

QWidget* makeTrackBar(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* s = new QSlider(identProperty(c, "Orientation") == QLatin1String("trVertical") ? Qt::Vertical : Qt::Horizontal, host);
  s->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 10)));
  s->setValue(intProperty(c, "Position", 0));
  s->setTickPosition(QSlider::TicksBelow);
  s->setTickInterval(std::max(1, intProperty(c, "Frequency", 1)));
  return s;
}

QWidget* makeScrollBar(WidgetContext& x) {
  Node& n = x.n;
  Component& c = *n.c;
  QWidget* host = x.host;
  auto* s = new QScrollBar(identProperty(c, "Kind") == QLatin1String("sbVertical") ? Qt::Vertical : Qt::Horizontal, host);
  s->setRange(intProperty(c, "Min", 0), std::max(intProperty(c, "Min", 0), intProperty(c, "Max", 100)));
  s->setValue(intProperty(c, "Position", 0));
  return s;
}

}  // namespace

WidgetFactory widgetFactory(Kind kind) {
  static const std::map<Kind, WidgetFactory> factories{
      {Kind::Label, makeLabel},
      {Kind::StaticText, makeLabel},
      {Kind::Button, makeButton},
      {Kind::BitBtn, makeButton},
      {Kind::SpeedButton, makeToolButton},
      {Kind::ToolButton, makeToolButton},
      {Kind::Edit, makeEdit},
      {Kind::Memo, makeMemo},
      {Kind::CheckBox, makeCheckBox},
      {Kind::RadioButton, makeRadioButton},
      {Kind::GroupBox, makeGroupBox},
      {Kind::RadioGroup, makeGroupBox},
      {Kind::Panel, makePanel},
      {Kind::ToolBar, makePanel},
      {Kind::ScrollBox, makePanel},
      {Kind::Control, makePanel},
      {Kind::Bevel, makeBevel},
      {Kind::Shape, makeShape},
      {Kind::Image, makeImage},
      {Kind::Splitter, makeSplitter},
      {Kind::StatusBar, makeStatusBar},
      {Kind::Header, makeStatusBar},
      {Kind::ListBox, makeListBox},
      {Kind::ComboBox, makeComboBox},
      {Kind::PageControl, makeTabs},
      {Kind::TabControl, makeTabs},
      {Kind::TabSheet, makeTabSheet},
      {Kind::Grid, makeGrid},
      {Kind::ListView, makeItemViewOf},
      {Kind::TreeView, makeItemViewOf},
      {Kind::ProgressBar, makeProgressBar},
      {Kind::TrackBar, makeTrackBar},
      {Kind::ScrollBar, makeScrollBar},
  };
  const auto it = factories.find(kind);
  return it == factories.end() ? nullptr : it->second;
}

}  // namespace vc::preview
