#pragma once
// The data roles of the string table's items, shared by the window's files
// that fill and read the table.
#include <Qt>

namespace vc::stringroles {

constexpr int kBytesRole = Qt::UserRole + 1;     // CP950 bytes of a cell
constexpr int kModifiedRole = Qt::UserRole + 2;  // column 4 holds a value
constexpr int kRemovedRole = Qt::UserRole + 3;   // the number of the row's line that a write-back removed
constexpr int kPendingRole = Qt::UserRole + 4;   // stored by an editor, not yet written back
constexpr int kDecodedRole = Qt::UserRole + 5;   // column 4 holds a string's text, unquoted
constexpr int kStringRole = Qt::UserRole + 6;    // the row's value is a string
constexpr int kWrittenRole = Qt::UserRole + 7;   // the row's value was written back
constexpr int kStateRole = Qt::UserRole + 8;     // the RowState shown
constexpr int kProblemsRole = Qt::UserRole + 9;  // the problems of the stored value shown, one a line

}  // namespace vc::stringroles
