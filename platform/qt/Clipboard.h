#pragma once
// The system clipboard as plain text, exchanged as CP950 bytes. Text copied
// here also carries its raw bytes in a private format, so bytes that do not
// decode survive a copy and paste inside the program unchanged.
#include <optional>
#include <string>
#include <string_view>

class QMimeData;
class QString;

namespace vc {

class SystemClipboard {
 public:
  // Puts CP950 bytes on the clipboard: decoded as plain text for other
  // programs, and as they are in the private format.
  static void setText(std::string_view bytes);

  // The clipboard's text as CP950 bytes. An empty clipboard gives an empty
  // string. Text with a character that has no CP950 encoding gives nullopt
  // and, when given, the offending character in *refused.
  static std::optional<std::string> text(QString* refused = nullptr);

  // The same conversions on a mime data object (drops and tests use it).
  static QMimeData* toMimeData(std::string_view bytes);
  static std::optional<std::string> fromMimeData(const QMimeData* data, QString* refused = nullptr);

  // The raw bytes of the private format, when the data carries it.
  static std::optional<std::string> rawBytes(const QMimeData* data);

  // Name of the private format that carries the raw bytes.
  static const char* rawFormat();
};

}  // namespace vc
