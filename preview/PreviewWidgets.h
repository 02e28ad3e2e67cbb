#pragma once
// One factory per kind of control: the Qt widget that draws a component in
// the preview, made from its properties. Shared by the window's builder;
// not for use outside preview/.
#include "preview/PreviewNode.h"

class QStyle;
class QWidget;

namespace vc::preview {

// What a factory works with. It may set the node's text and size (a tool
// button widens to its caption, a combo box shows its chosen item).
struct WidgetContext {
  BuiltForm& b;
  Node& n;
  const Node& parent;
  QWidget* host;  // the parent's container
  QStyle* style;
};

using WidgetFactory = QWidget* (*)(WidgetContext&);

// The factory of a kind, or nullptr for kinds drawn without a widget of
// their own (menus, non-visual components).
WidgetFactory widgetFactory(Kind kind);

}  // namespace vc::preview
