#include "preview/PreviewLook.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>
#include <cstring>

#include "platform/qt/FontMapping.h"

namespace vc::preview {

namespace {

// The system colours of a current Windows (and of Wine), by index.
const QRgb kSystem[31] = {
    qRgb(200, 200, 200), qRgb(0, 0, 0),       qRgb(153, 180, 209), qRgb(191, 205, 219),
    qRgb(240, 240, 240), qRgb(255, 255, 255), qRgb(100, 100, 100), qRgb(0, 0, 0),
    qRgb(0, 0, 0),       qRgb(0, 0, 0),       qRgb(180, 180, 180), qRgb(244, 247, 252),
    qRgb(171, 171, 171), qRgb(51, 153, 255),  qRgb(255, 255, 255), qRgb(240, 240, 240),
    qRgb(160, 160, 160), qRgb(109, 109, 109), qRgb(0, 0, 0),       qRgb(67, 78, 84),
    qRgb(255, 255, 255), qRgb(105, 105, 105), qRgb(227, 227, 227), qRgb(0, 0, 0),
    qRgb(255, 255, 225), qRgb(0, 0, 0),       qRgb(0, 102, 204),   qRgb(185, 209, 234),
    qRgb(215, 228, 242), qRgb(51, 153, 255),  qRgb(240, 240, 240),
};

struct NamedColor {
  const char* name;
  std::int64_t value;
};
constexpr std::int64_t kSys = 0xFF000000LL;
const NamedColor kNamed[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080}, {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF}, {"clDefault", 0x20000000},
    {"clScrollBar", kSys | 0}, {"clBackground", kSys | 1}, {"clActiveCaption", kSys | 2},
    {"clInactiveCaption", kSys | 3}, {"clMenu", kSys | 4}, {"clWindow", kSys | 5},
    {"clWindowFrame", kSys | 6}, {"clMenuText", kSys | 7}, {"clWindowText", kSys | 8},
    {"clCaptionText", kSys | 9}, {"clActiveBorder", kSys | 10}, {"clInactiveBorder", kSys | 11},
    {"clAppWorkSpace", kSys | 12}, {"clHighlight", kSys | 13}, {"clHighlightText", kSys | 14},
    {"clBtnFace", kSys | 15}, {"clBtnShadow", kSys | 16}, {"clGrayText", kSys | 17},
    {"clBtnText", kSys | 18}, {"clInactiveCaptionText", kSys | 19}, {"clBtnHighlight", kSys | 20},
    {"cl3DDkShadow", kSys | 21}, {"cl3DLight", kSys | 22}, {"clInfoText", kSys | 23},
    {"clInfoBk", kSys | 24}, {"clHotLight", kSys | 26}, {"clGradientActiveCaption", kSys | 27},
    {"clGradientInactiveCaption", kSys | 28}, {"clMenuHighlight", kSys | 29},
    {"clMenuBar", kSys | 30},
};

}  // namespace

QColor systemColor(int index) {
  return (index >= 0 && index < 31) ? QColor(kSystem[index]) : QColor(Qt::black);
}

std::optional<QColor> colorOf(const Value& v) {
  std::int64_t c = 0;
  if (v.type == Value::Type::Int) {
    c = v.integer;
  } else if (v.type == Value::Type::Ident) {
    const NamedColor* found = nullptr;
    for (const NamedColor& n : kNamed)
      if (v.text.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) found = &n;
    if (!found) return std::nullopt;
    c = found->value;
  } else {
    return std::nullopt;
  }
  const std::uint32_t u = static_cast<std::uint32_t>(c);
  if (u == 0x1FFFFFFF || u == 0x20000000) return std::nullopt;
  if (u & 0x80000000u) return systemColor(static_cast<int>(u & 0xFF));
  return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                static_cast<int>((u >> 16) & 0xFF));
}

QString withoutAccelerators(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

QFont FontSpec::toFont(double scale) const {
  // Absurd heights are clamped: a form cannot ask for more than a screen.
  const int h = std::clamp(static_cast<int>(std::lround(height * scale)), -400, 400);
  int px = 0;
  if (h < 0) {
    px = -h;
  } else if (h > 0) {
    // A positive height is the cell height, internal leading included.
    QFont probe = FontMapping::formFont(name, 100);
    QFontMetrics m(probe);
    px = std::max(1, static_cast<int>(std::lround(h * 100.0 / std::max(1, m.height()))));
  } else {
    px = 11;
  }
  QFont f = FontMapping::formFont(name, std::max(1, px));
  f.setBold(bold);
  f.setItalic(italic);
  f.setUnderline(underline);
  f.setStrikeOut(strikeOut);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

QImage decodePicture(const std::string& data, bool withClassName) {
  std::size_t pos = 0;
  if (withClassName) {
    if (data.empty()) return {};
    pos = 1 + static_cast<unsigned char>(data[0]);
  }
  auto startsWith = [&](std::size_t at, const char* sig, std::size_t n) {
    return at + n <= data.size() && std::memcmp(data.data() + at, sig, n) == 0;
  };
  auto known = [&](std::size_t at) {
    return startsWith(at, "BM", 2) || startsWith(at, "\x89PNG", 4) || startsWith(at, "\xFF\xD8", 2) ||
           startsWith(at, "\0\0\1\0", 4) || startsWith(at, "GIF8", 4);
  };
  // Graphics store a 4-byte length in front of the file, or not.
  if (!known(pos) && known(pos + 4)) pos += 4;
  if (pos >= data.size() || !known(pos)) return {};
  QByteArray bytes(data.data() + pos, static_cast<qsizetype>(data.size() - pos));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  // Pictures in forms are small; a claimed giant would only exhaust memory.
  if (!size.isValid() || size.width() > 4096 || size.height() > 4096) return {};
  QImage image;
  if (!reader.read(&image)) return {};
  return image;
}

QStyle* previewStyle() {
  static QStyle* style = [] {
    QStyle* s = QStyleFactory::create(QStringLiteral("Windows"));
    if (!s) s = QStyleFactory::create(QStringLiteral("Fusion"));
    if (s) s->setParent(qApp);
    return s;
  }();
  return style;
}

void drawEdge(QPainter& p, QRect r, bool raised, int width) {
  const QColor light = systemColor(20), dark = systemColor(16);
  for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
    p.setPen(raised ? light : dark);
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(raised ? dark : light);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    r.adjust(1, 1, -1, -1);
  }
}

PaintedWidget::PaintedWidget(Look l, QWidget* parent) : QWidget(parent), look(l) {}

void PaintedWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QRect r = rect();
  if (fill && look != Look::Shape) p.fillRect(r, *fill);
  const int accel = showAccel ? Qt::TextShowMnemonic : 0;
  switch (look) {
    case Look::Label:
    case Look::Frame: {
      if (singleBorder) {
        drawEdge(p, r, false, 1);
        r.adjust(1, 1, -1, -1);
      }
      p.setPen(textColor);
      p.drawText(r, alignment | accel | (wordWrap ? Qt::TextWordWrap : 0), text);
      break;
    }
    case Look::Panel: {
      if (singleBorder) {
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
      }
      if (bevelOuter) {
        drawEdge(p, r, bevelOuter == 2, bevelWidth);
        r.adjust(bevelWidth, bevelWidth, -bevelWidth, -bevelWidth);
      }
      r.adjust(borderWidth, borderWidth, -borderWidth, -borderWidth);
      if (bevelInner) {
        drawEdge(p, r, bevelInner == 2, bevelWidth);
        r.adjust(bevelWidth, bevelWidth, -bevelWidth, -bevelWidth);
      }
      p.setPen(textColor);
      p.drawText(r, alignment | accel | Qt::TextSingleLine, text);
      break;
    }
    case Look::Bevel: {
      const QColor first = raised ? systemColor(20) : systemColor(16);
      const QColor second = raised ? systemColor(16) : systemColor(20);
      auto hline = [&](int y) {
        p.setPen(first);
        p.drawLine(r.left(), y, r.right(), y);
        p.setPen(second);
        p.drawLine(r.left(), y + 1, r.right(), y + 1);
      };
      auto vline = [&](int x) {
        p.setPen(first);
        p.drawLine(x, r.top(), x, r.bottom());
        p.setPen(second);
        p.drawLine(x + 1, r.top(), x + 1, r.bottom());
      };
      if (shape == QLatin1String("bsTopLine")) hline(r.top());
      else if (shape == QLatin1String("bsBottomLine")) hline(r.bottom() - 1);
      else if (shape == QLatin1String("bsLeftLine")) vline(r.left());
      else if (shape == QLatin1String("bsRightLine")) vline(r.right() - 1);
      else if (shape == QLatin1String("bsFrame")) {
        p.setPen(first);
        p.drawRect(r.adjusted(0, 0, -2, -2));
        p.setPen(second);
        p.drawRect(r.adjusted(1, 1, -1, -1));
      } else if (shape != QLatin1String("bsSpacer")) {
        drawEdge(p, r, raised, 1);
      }
      break;
    }
    case Look::Shape: {
      QPen pen(penColor);
      pen.setWidth(std::clamp(penWidth, 0, 100));
      p.setPen(penWidth > 0 ? pen : QPen(Qt::NoPen));
      p.setBrush(brushClear ? QBrush(Qt::NoBrush) : QBrush(brushColor));
      const int half = penWidth / 2;
      QRect s = r.adjusted(half, half, -half - 1, -half - 1);
      if (shape.contains(QLatin1String("Square")) || shape == QLatin1String("stCircle")) {
        const int side = std::min(s.width(), s.height());
        s = QRect(s.left() + (s.width() - side) / 2, s.top() + (s.height() - side) / 2, side, side);
      }
      if (shape == QLatin1String("stEllipse") || shape == QLatin1String("stCircle"))
        p.drawEllipse(s);
      else if (shape.startsWith(QLatin1String("stRound")))
        p.drawRoundedRect(s, std::min(s.width(), s.height()) / 4.0, std::min(s.width(), s.height()) / 4.0);
      else
        p.drawRect(s);
      break;
    }
    case Look::Image: {
      if (image.isNull()) break;
      QRect target(QPoint(0, 0), image.size());
      if (stretch && !proportional) {
        target = r;
      } else if (proportional && (image.width() > r.width() || image.height() > r.height())) {
        target.setSize(image.size().scaled(r.size(), Qt::KeepAspectRatio));
      }
      if (center || (proportional && !stretch)) target.moveCenter(r.center());
      if (center) target.moveCenter(r.center());
      p.drawImage(target, image);
      break;
    }
    case Look::StatusBar:
    case Look::Header: {
      p.setPen(textColor);
      if (parts.isEmpty()) {
        p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        break;
      }
      int x = 0;
      for (int i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        int w = partWidths[static_cast<std::size_t>(i)];
        if (last || w < 0) w = std::max(0, r.width() - x);
        const QRect cell(x, look == Look::StatusBar ? 2 : 0, w - (look == Look::StatusBar ? 2 : 0),
                         r.height() - (look == Look::StatusBar ? 2 : 0));
        drawEdge(p, cell, look == Look::Header, 1);
        p.setPen(textColor);
        p.save();
        p.setClipRect(cell.adjusted(1, 1, -1, -1));
        p.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   parts[i]);
        p.restore();
        x += w;
        if (x >= r.width()) break;
      }
      break;
    }
    case Look::Splitter:
      break;
  }
}

}  // namespace vc::preview
