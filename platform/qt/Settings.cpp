#include "platform/qt/Settings.h"

#include <QSettings>

namespace vc {
namespace {

QString& overrideFolder() {
  static QString folder;
  return folder;
}

}  // namespace

Settings::Settings() {
  const QString& folder = overrideFolder();
  if (folder.isEmpty()) {
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Delphi"), QStringLiteral("Vellumcraft"));
  } else {
    m_settings = std::make_unique<QSettings>(folder + QStringLiteral("/Delphi/Vellumcraft.ini"),
                                             QSettings::IniFormat);
  }
}

Settings::~Settings() = default;

void Settings::useFolder(const QString& folder) { overrideFolder() = folder; }

bool Settings::isWritable() const { return m_settings->isWritable(); }

QString Settings::keyName() const { return QStringLiteral("Vellumcraft"); }

QString Settings::value(const QString& name) const {
  return m_settings->value(name).toString();
}

bool Settings::setValue(const QString& name, const QString& text) {
  if (!m_settings->isWritable()) return false;
  m_settings->setValue(name, text);
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}

}  // namespace vc
