#pragma once
// The program's one settings key ("Delphi"/"Vellumcraft"): the registry on
// Windows, an INI file elsewhere. Values are texts; an absent value reads as
// empty text.
#include <QString>
#include <memory>

class QSettings;

namespace vc {

class Settings {
 public:
  Settings();
  ~Settings();
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;

  // Redirects every Settings created afterwards to an INI file in folder
  // (tests keep their settings in a temporary folder); empty restores the
  // user's own settings.
  static void useFolder(const QString& folder);

  // False when the key cannot be written (its store is read-only).
  bool isWritable() const;
  // The key's name as the user would see it in a message.
  QString keyName() const;

  QString value(const QString& name) const;
  // Writes and flushes; false when the value could not be stored.
  bool setValue(const QString& name, const QString& text);

 private:
  std::unique_ptr<QSettings> m_settings;
};

}  // namespace vc
