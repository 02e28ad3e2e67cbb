#pragma once
// The built form inside the preview: one node per component with what the
// layout and the fit check work on. Shared by the window's builder and the
// layout; not for use outside preview/.
#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <map>
#include <vector>

#include "preview/PreviewLook.h"
#include "preview/PreviewTree.h"
#include "translation/SourceCodePage.h"

class QAction;
class QWidget;

namespace vc::preview {

enum Align { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum Anchor { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct Node {
  Component* c = nullptr;
  Kind kind = Kind::Control;
  int parent = -1;  // index of the parent node
  QWidget* widget = nullptr;
  QWidget* container = nullptr;  // where child controls go
  QRect stored;                  // the bounds the form gives (after AutoSize)
  QRect geo;                     // laid out, in the parent's coordinates
  int align = alNone;
  int anchors = akLeft | akTop;
  QMargins margins;              // taken around an aligned control (AlignWithMargins)
  QMargins padding;              // taken inside a container from its aligned children
  QSize minSize, maxSize;        // Constraints; 0: none
  bool visible = true;
  FontSpec fontSpec;
  QFont font;
  QColor color;
  QString text;      // what the control shows (accelerators kept)
  int fits = -1;
  QAction* action = nullptr;
  std::vector<int> children;
};

struct BuiltForm {
  std::vector<Node> nodes;
  SourceCodePageOptions codePages;  // how 8-bit strings are read
  std::map<QString, std::vector<QPixmap>> imageLists;  // by lower-case name
  double scale = 1.0;
  class FitOverlay* overlay = nullptr;

  Node& at(int i) { return nodes[static_cast<std::size_t>(i)]; }
  int scaled(int v) const;
};

bool hasWidget(Kind k);
int textHeight(const QFont& f);

// Reads the bounds, Align, Anchors, Margins, Padding and Constraints of a
// node from its component.
void readPlacement(BuiltForm& b, Node& n, int defaultAlign, QSize defaultSize);

// AutoSize labels take the size of their text; done once, before layout.
void autoSizeLabels(BuiltForm& b);

// Lays out the children of node `index` in its current size, and theirs:
// anchored controls keep their distances to the anchored edges of the
// parent's stored size, aligned ones fill the client area pass by pass.
void layoutChildren(BuiltForm& b, int index);

// Whether each control's text fits the room it has now (Node::fits).
void checkFits(BuiltForm& b);

}  // namespace vc::preview
