#include "platform/qt/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include "platform/Cp950.h"

namespace vc {

namespace {

QString toQString(std::string_view bytes) {
  const std::u16string text = cp950::decode(bytes);
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// Lone surrogates stand for undecodable bytes inside the program; other
// programs get U+FFFD for them instead of a malformed string.
QString forOtherPrograms(QString text) {
  for (QChar& c : text) {
    if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF) c = QChar(0xFFFD);
  }
  return text;
}

}  // namespace

const char* SystemClipboard::rawFormat() {
  return "application/x-vellumcraft-cp950";
}

QMimeData* SystemClipboard::toMimeData(std::string_view bytes) {
  auto* data = new QMimeData;
  data->setText(forOtherPrograms(toQString(bytes)));
  data->setData(QString::fromLatin1(rawFormat()),
                QByteArray(bytes.data(), qsizetype(bytes.size())));
  return data;
}

std::optional<std::string> SystemClipboard::rawBytes(const QMimeData* data) {
  const QString raw = QString::fromLatin1(rawFormat());
  if (!data || !data->hasFormat(raw)) return std::nullopt;
  const QByteArray bytes = data->data(raw);
  return std::string(bytes.constData(), std::size_t(bytes.size()));
}

std::optional<std::string> SystemClipboard::fromMimeData(const QMimeData* data, QString* refused) {
  if (!data) return std::string();
  if (auto raw = rawBytes(data)) return raw;
  if (!data->hasText()) return std::string();
  const QString text = data->text();
  std::size_t failedAt = 0;
  auto bytes = cp950::encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                 std::size_t(text.size())),
                             &failedAt);
  if (!bytes && refused) {
    const qsizetype at = qsizetype(failedAt);
    const bool pair =
        at + 1 < text.size() && text.at(at).isHighSurrogate() && text.at(at + 1).isLowSurrogate();
    *refused = text.mid(at, pair ? 2 : 1);
  }
  return bytes;
}

void SystemClipboard::setText(std::string_view bytes) {
  QGuiApplication::clipboard()->setMimeData(toMimeData(bytes));
}

std::optional<std::string> SystemClipboard::text(QString* refused) {
  return fromMimeData(QGuiApplication::clipboard()->mimeData(), refused);
}

}  // namespace vc
