#pragma once
// Data roles of the form list's entries and of the resource strings' rows on
// the string page, shared by the window's files that fill and read them.
#include <Qt>

namespace vc {

inline constexpr int kFormNameRole = Qt::UserRole + 1;         // form list: a form's name as CP950 bytes
inline constexpr int kResourceStringsRole = Qt::UserRole + 2;  // form list: the entry of the resource strings
inline constexpr int kNotFormRole = Qt::UserRole + 3;          // form list: an RCDATA entry that holds no form stream
inline constexpr int kResourceIndexRole = Qt::UserRole + 5;    // a resource string's row: its index in the translation

}  // namespace vc
