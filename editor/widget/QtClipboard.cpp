#include "editor/widget/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/Cp950.h"
#include "platform/qt/Clipboard.h"

namespace vc {

std::u16string QtClipboard::text() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  if (auto raw = SystemClipboard::rawBytes(data)) return cp950::decode(*raw);
  return data->text().toStdU16String();
}

void QtClipboard::setText(const std::u16string& text) {
  // The model hands out decoded CP950 text, which always encodes back.
  if (auto bytes = cp950::encode(text))
    SystemClipboard::setText(*bytes);
  else
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text));
}

}  // namespace vc
