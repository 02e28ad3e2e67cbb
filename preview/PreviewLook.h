#pragma once
// How form values look on screen: colours, fonts, accelerator texts,
// pictures, and the widgets Qt has no counterpart for, drawn by hand.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "preview/PreviewTree.h"

class QStyle;

namespace vc::preview {

// A TColor value (integer or cl* identifier); nullopt for clNone/clDefault
// or an unknown name.
std::optional<QColor> colorOf(const Value& v);
QColor systemColor(int index);  // clBtnFace is 15, clWindow 5...

// "&File" -> "File", "&&" -> "&" (what is measured and listed).
QString withoutAccelerators(const QString& caption);

// The font a Font.* set describes: pixel height from Height (negative: em
// height, positive: cell height), style set, colour. `scale` converts the
// form's design DPI to 96.
struct FontSpec {
  QString name = QStringLiteral("MS Sans Serif");
  int height = -11;
  bool bold = false, italic = false, underline = false, strikeOut = false;
  QColor color = Qt::black;
  int charset = 1;
  QFont toFont(double scale) const;
};

// A picture from Picture.Data / Glyph.Data / Bitmap.Data / Icon.Data bytes;
// a null image when the data is no picture or is absurdly large.
QImage decodePicture(const std::string& data, bool withClassName);

// The style every preview widget is drawn with (the classic Windows look).
QStyle* previewStyle();

// Widgets drawn by hand.
class PaintedWidget : public QWidget {
 public:
  enum class Look { Label, Panel, Bevel, Shape, Image, StatusBar, Splitter, Frame, Header };
  PaintedWidget(Look look, QWidget* parent);

  Look look;
  QString text;
  QStringList parts;            // status panels, header sections
  std::vector<int> partWidths;  // their widths (-1: the rest)
  int alignment = Qt::AlignLeft | Qt::AlignTop;
  bool wordWrap = false;
  bool showAccel = true;
  std::optional<QColor> fill;   // background; none: transparent
  QColor textColor = Qt::black;
  int bevelOuter = 0, bevelInner = 0, bevelWidth = 1, borderWidth = 0;  // 0 none, 1 lowered, 2 raised
  bool singleBorder = false;
  QString shape;                // TBevel/TShape shape name
  bool raised = false;          // TBevel style
  QColor penColor = Qt::black, brushColor = Qt::white;
  int penWidth = 1;
  bool brushClear = false;
  QImage image;
  bool stretch = false, center = false, proportional = false;

 protected:
  void paintEvent(QPaintEvent*) override;
};

// Draws the classic two-colour edge: raised or lowered, `width` lines deep.
void drawEdge(class QPainter& p, QRect r, bool raised, int width);

}  // namespace vc::preview
