#pragma once
// The contents that forms store for grids and item views, put into the Qt
// widgets that draw them.
#include <QFont>
#include <QString>

#include "preview/PreviewTree.h"

class QTableWidget;
class QWidget;

namespace vc::preview {

// A string or draw grid: ColCount x RowCount cells, the fixed ones in the
// button face colour.
QTableWidget* makeStringGrid(const Component& c, double scale, QWidget* host);

// A data grid without its data: the indicator column, the title row with
// the captions of its Columns (one empty column when it has none) and one
// empty row. `titles` receives the captions, tab-separated.
QTableWidget* makeDataGrid(const Component& c, const QFont& font, double scale, QWidget* host, QString& titles);

}  // namespace vc::preview
