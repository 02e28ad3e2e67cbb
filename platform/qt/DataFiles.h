#pragma once
// The program's data folders (the value lists "res", the manual "manual").
// They lie beside the program in the build tree and in a portable copy, and
// under <prefix>/share/vellumcraft once installed.
#include <QString>
#include <QStringList>

namespace vc::datafiles {

// The existing folder called name, or empty when there is none.
QString folder(const QString& name);

// The folders searched, in order: the program's own folder, then the
// installed data folder (<program folder>/../share/vellumcraft).
QStringList searchRoots();

// Searches root after the others (tests point it at the build's data);
// empty removes it.
void setExtraRoot(const QString& root);

}  // namespace vc::datafiles
