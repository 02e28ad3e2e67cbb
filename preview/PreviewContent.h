#pragma once
// The contents that forms store for grids and item views, put into the Qt
// widgets that draw them.
#include <QFont>
#include <QPixmap>
#include <QString>
#include <string>
#include <vector>

#include "preview/PreviewTree.h"

class QTableWidget;
class QTreeWidget;
class QWidget;

namespace vc::preview {

// A string or draw grid: ColCount x RowCount cells, the fixed ones in the
// button face colour.
QTableWidget* makeStringGrid(const Component& c, double scale, QWidget* host);

// A data grid without its data: the indicator column, the title row with
// the captions of its Columns (one empty column when it has none) and one
// empty row. `titles` receives the captions, tab-separated.
QTableWidget* makeDataGrid(const Component& c, const QFont& font, double scale, QWidget* host, QString& titles);

// One item of a tree or list view as the form stores it.
struct ViewItem {
  QString text;
  int image = -1;
  QStringList subItems;
  std::vector<ViewItem> children;
};

// The nodes of a tree view: Items.Data (8-bit texts in `codePage`,
// nullptr: CP950) or Items.NodeData (UTF-16 texts). What cannot be read is
// left out; counts and depth are bounded.
std::vector<ViewItem> readTreeItems(const std::string& data, bool nodeData, int codePage);

// The items of a list view: Items.Data (8-bit captions and sub-items).
std::vector<ViewItem> readListItems(const std::string& data, int codePage);

// The images of an image list's Bitmap data (the "IL" stream: header, the
// images side by side in one bitmap, and their mask); empty when it is none.
std::vector<QPixmap> decodeImageList(const std::string& data);

// A tree or list view with its columns, items and their images.
QTreeWidget* makeItemView(const Component& c, Kind kind, double scale, const std::vector<QPixmap>& images,
                          int codePage, QWidget* host, QString& text);

}  // namespace vc::preview
