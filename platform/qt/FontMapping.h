#pragma once
// The one place where the fonts the forms and editors ask for by name are
// mapped to fonts that are installed here. A form names Windows fonts such
// as "細明體"; on a machine without them the nearest installed Ming-style
// CJK font takes their place.
#include <QFont>
#include <QString>
#include <QStringList>

namespace vc {

class FontMapping {
 public:
  // The editors' font: "細明體", fixed pitch, pixelSize pixels high.
  static QFont editorFont(int pixelSize = 12);

  // A font for `family`, or the installed substitute when the family is
  // missing. Pixel size <= 0 leaves the size at Qt's default.
  static QFont mapFont(const QString& family, int pixelSize);

  // The installed family used for `family` (the family itself when it is
  // installed; otherwise the first installed candidate; otherwise the
  // system's fixed-pitch font).
  static QString resolveFamily(const QString& family);

  // Installed families tried, in order, in place of `family`.
  static QStringList candidatesFor(const QString& family);

  // A font for a form's control: like mapFont, but a Western face that is
  // not installed falls back to a face of the same kind (the Windows UI
  // faces Wine ships, then a proportional sans, serif or fixed face), never
  // to the editors' fixed-pitch font.
  static QFont formFont(const QString& family, int pixelSize);
};

}  // namespace vc
