#include <QAbstractButton>
#include <QFontMetrics>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "preview/PreviewNode.h"

namespace vc::preview {

namespace {

int alignOf(const QString& s) {
  static const char* names[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
  for (int i = 0; i < 7; ++i)
    if (s.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) return i;
  return alNone;
}

// Sizes beyond a screen or two are nonsense in any form.
int sizeProperty(const BuiltForm& b, const Component& c, const char* name, int fallback) {
  return std::clamp(b.scaled(intProperty(c, name, fallback)), 0, 10000);
}

QSize constrained(const Node& n, QSize s) {
  s.setWidth(std::max(s.width(), n.minSize.width()));
  s.setHeight(std::max(s.height(), n.minSize.height()));
  if (n.maxSize.width() > 0) s.setWidth(std::min(s.width(), n.maxSize.width()));
  if (n.maxSize.height() > 0) s.setHeight(std::min(s.height(), n.maxSize.height()));
  return s;
}

// Where a control anchored to `anchors` goes when its parent has grown by
// `grow` since the bounds were stored: it keeps its distance to each
// anchored edge, stretches between two opposite ones, and keeps its
// relative place when anchored to neither.
QRect anchored(QRect r, int anchors, QSize grow) {
  auto axis = [](int& pos, int& len, bool near, bool far, int d) {
    if (near && far) len = std::max(0, len + d);
    else if (far) pos += d;
    else if (!near) pos += d / 2;
  };
  int x = r.x(), y = r.y(), w = r.width(), h = r.height();
  axis(x, w, anchors & akLeft, anchors & akRight, grow.width());
  axis(y, h, anchors & akTop, anchors & akBottom, grow.height());
  return QRect(x, y, w, h);
}

// The rectangle a container aligns its children in, in its own coordinates.
QRect clientRectOf(BuiltForm& b, Node& n) {
  const QSize size = n.geo.size();
  QRect client(QPoint(0, 0), size);
  const int th = textHeight(n.font);
  switch (n.kind) {
    case Kind::GroupBox: case Kind::RadioGroup:
      client.adjust(2, th + 2, -2, -2);
      break;
    case Kind::Panel: {
      const Component& c = *n.c;
      int inset = std::clamp(b.scaled(intProperty(c, "BorderWidth", 0)), 0, 100);
      const int bw = std::clamp(b.scaled(intProperty(c, "BevelWidth", 1)), 0, 100);
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
          f->setGeometry(0, tabH, size.width(), std::max(0, size.height() - tabH));
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
  return client;
}

// Radio groups place their buttons in columns over the client height.
void placeRadioItems(BuiltForm& b, Node& n) {
  const QList<QRadioButton*> items = n.widget->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
  const int count = static_cast<int>(items.size());
  if (count == 0) return;
  const QSize size = n.geo.size();
  const int th = textHeight(n.font);
  const int cols = std::clamp(intProperty(*n.c, "Columns", 1), 1, 16);
  const int perCol = (count + cols - 1) / cols;
  const int bw = (size.width() - 10) / cols;
  const int avail = size.height() - th - 5;
  const int bh = std::max(1, avail / perCol);
  const int top = th + 1 + (avail % perCol) / 2;
  for (int k = 0; k < count; ++k) items[k]->setGeometry(8 + (k / perCol) * bw, top + (k % perCol) * bh, bw, bh);
  (void)b;
}

}  // namespace

int BuiltForm::scaled(int v) const { return static_cast<int>(std::lround(v * scale)); }

bool hasWidget(Kind k) {
  return k != Kind::NonVisual && k != Kind::MainMenu && k != Kind::MenuItem;
}

int textHeight(const QFont& f) { return QFontMetrics(f).height(); }

void readPlacement(BuiltForm& b, Node& n, int defaultAlign, QSize defaultSize) {
  const Component& c = *n.c;
  const QString al = identProperty(c, "Align");
  n.align = al.isEmpty() ? defaultAlign : alignOf(al);
  n.stored = QRect(b.scaled(intProperty(c, "Left", 0)), b.scaled(intProperty(c, "Top", 0)),
                   std::max(0, b.scaled(intProperty(c, "Width", defaultSize.width()))),
                   std::max(0, b.scaled(intProperty(c, "Height", defaultSize.height()))));
  if (const Value* v = findProperty(c, "Anchors"); v && v->type == Value::Type::Set) {
    n.anchors = 0;
    for (const std::string& e : v->set) {
      if (e == "akLeft") n.anchors |= akLeft;
      else if (e == "akTop") n.anchors |= akTop;
      else if (e == "akRight") n.anchors |= akRight;
      else if (e == "akBottom") n.anchors |= akBottom;
    }
  }
  // Aligned controls follow their parent's edges as if anchored to them.
  static const int alignAnchors[] = {0, akLeft | akTop | akRight, akLeft | akRight | akBottom,
                                     akLeft | akTop | akBottom, akRight | akTop | akBottom,
                                     akLeft | akTop | akRight | akBottom, 0};
  if (n.align != alNone && n.align != alCustom) n.anchors = alignAnchors[n.align];
  if (boolProperty(c, "AlignWithMargins", false))
    n.margins = QMargins(sizeProperty(b, c, "Margins.Left", 3), sizeProperty(b, c, "Margins.Top", 3),
                         sizeProperty(b, c, "Margins.Right", 3), sizeProperty(b, c, "Margins.Bottom", 3));
  n.padding = QMargins(sizeProperty(b, c, "Padding.Left", 0), sizeProperty(b, c, "Padding.Top", 0),
                       sizeProperty(b, c, "Padding.Right", 0), sizeProperty(b, c, "Padding.Bottom", 0));
  n.minSize = QSize(sizeProperty(b, c, "Constraints.MinWidth", 0), sizeProperty(b, c, "Constraints.MinHeight", 0));
  n.maxSize = QSize(sizeProperty(b, c, "Constraints.MaxWidth", 0), sizeProperty(b, c, "Constraints.MaxHeight", 0));
  n.stored.setSize(constrained(n, n.stored.size()));
}

void autoSizeLabels(BuiltForm& b) {
  for (Node& ch : b.nodes) {
    if (ch.kind != Kind::Label || !ch.c || !boolProperty(*ch.c, "AutoSize", true)) continue;
    QFontMetrics m(ch.font);
    const QString shown = withoutAccelerators(ch.text);
    QRect& g = ch.stored;
    if (boolProperty(*ch.c, "WordWrap", false)) {
      const QRect r = m.boundingRect(QRect(0, 0, std::max(1, g.width()), 100000), Qt::TextWordWrap, shown);
      g.setHeight(std::max(r.height(), m.height()));
    } else {
      const QRect r = m.boundingRect(QRect(0, 0, 100000, 100000), 0, shown.isEmpty() ? QStringLiteral(" ") : shown);
      const int w = std::max(r.width(), shown.isEmpty() ? 0 : 1);
      if (identProperty(*ch.c, "Alignment") == QLatin1String("taRightJustify")) g.setLeft(g.right() + 1 - w);
      else g.setWidth(w);
      g.setHeight(r.height());
    }
    // Constraints cap what AutoSize asks for.
    const QSize s = constrained(ch, g.size());
    if (identProperty(*ch.c, "Alignment") == QLatin1String("taRightJustify")) g.setLeft(g.right() + 1 - s.width());
    else g.setWidth(s.width());
    g.setHeight(s.height());
  }
}

void layoutChildren(BuiltForm& b, int index) {
  Node& n = b.at(index);
  const QRect client = clientRectOf(b, n);
  const QSize grow = n.geo.size() - n.stored.size();
  for (int ci : n.children) {
    Node& ch = b.at(ci);
    if (ch.kind == Kind::TabSheet) {
      ch.geo = client;  // sheets fill their page control's page rectangle
    } else if (ch.align == alNone || ch.align == alCustom) {
      const QRect r = anchored(ch.stored, ch.anchors, grow);
      ch.geo = QRect(r.topLeft(), constrained(ch, r.size()));
    }
  }
  // Align passes: top, bottom, left, right, client, each stacked by the
  // stored position (ties in the order of the form text), inside the
  // padding, every control with its margins around it.
  QRect rest = client.marginsRemoved(n.padding);
  auto members = [&](int align) {
    std::vector<int> out;
    for (int ci : n.children) {
      const Node& ch = b.at(ci);
      if (ch.align == align && ch.visible && hasWidget(ch.kind) && ch.kind != Kind::TabSheet) out.push_back(ci);
    }
    auto key = [&](int ci) {
      const QRect& g = b.at(ci).stored;
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
  auto place = [&](Node& ch, QRect area) {
    // The control fills `area` less its margins, within its constraints.
    const QRect r = area.marginsRemoved(ch.margins);
    ch.geo = QRect(r.topLeft(), constrained(ch, QSize(std::max(0, r.width()), std::max(0, r.height()))));
    return ch.geo.size() + QSize(ch.margins.left() + ch.margins.right(), ch.margins.top() + ch.margins.bottom());
  };
  auto heightOf = [&](const Node& ch) { return constrained(ch, ch.stored.size()).height() + ch.margins.top() + ch.margins.bottom(); };
  auto widthOf = [&](const Node& ch) { return constrained(ch, ch.stored.size()).width() + ch.margins.left() + ch.margins.right(); };
  for (int ci : members(alTop)) {
    Node& ch = b.at(ci);
    const QSize taken = place(ch, QRect(rest.left(), rest.top(), rest.width(), heightOf(ch)));
    rest.setTop(rest.top() + taken.height());
  }
  for (int ci : members(alBottom)) {
    Node& ch = b.at(ci);
    const int h = heightOf(ch);
    const QSize taken = place(ch, QRect(rest.left(), rest.bottom() + 1 - h, rest.width(), h));
    ch.geo.moveBottom(rest.bottom() - ch.margins.bottom());
    rest.setBottom(rest.bottom() - taken.height());
  }
  for (int ci : members(alLeft)) {
    Node& ch = b.at(ci);
    const QSize taken = place(ch, QRect(rest.left(), rest.top(), widthOf(ch), std::max(0, rest.height())));
    rest.setLeft(rest.left() + taken.width());
  }
  for (int ci : members(alRight)) {
    Node& ch = b.at(ci);
    const int w = widthOf(ch);
    const QSize taken = place(ch, QRect(rest.right() + 1 - w, rest.top(), w, std::max(0, rest.height())));
    ch.geo.moveRight(rest.right() - ch.margins.right());
    rest.setRight(rest.right() - taken.width());
  }
  for (int ci : members(alClient))
    place(b.at(ci), QRect(rest.left(), rest.top(), std::max(0, rest.width()), std::max(0, rest.height())));
  if (n.kind == Kind::RadioGroup && n.widget) placeRadioItems(b, n);
  for (int ci : n.children) {
    Node& ch = b.at(ci);
    if (ch.widget) ch.widget->setGeometry(ch.geo);
    layoutChildren(b, ci);
  }
}

void checkFits(BuiltForm& b) {
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
      static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
      for (const QString& line : s.split(lineBreak))
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
      case Kind::Grid:
        if (auto* t = qobject_cast<QTableWidget*>(n.widget); t && t->rowCount() > 0)
          for (int col = 0; col < t->columnCount(); ++col)
            if (QTableWidgetItem* item = t->item(0, col))
              if (m.horizontalAdvance(item->text()) > t->columnWidth(col) - 5) fits = false;
        break;
      case Kind::StaticText:
        fits = boolProperty(*n.c, "AutoSize", true) ? n.geo.right() < parentClient.width() : tw <= w;
        break;
      default:
        fits = true;
    }
    n.fits = fits ? 1 : 0;
  }
}

}  // namespace vc::preview
