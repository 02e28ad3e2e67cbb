#pragma once
// The shell's "open" action: a file or web address handed to the program the
// desktop associates with it.
#include <QString>
#include <QUrl>
#include <functional>

namespace vc::shell {

// Opens a file named relative to the process's current directory (or by an
// absolute path). Returns what the desktop reported.
bool openFile(const QString& name);
// Opens a web address in the default browser.
bool openUrl(const QUrl& url);

// Replaces the desktop for tests; an empty function restores it.
void setOpenHandler(std::function<bool(const QUrl&)> handler);

}  // namespace vc::shell
