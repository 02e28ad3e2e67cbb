#include "workbench/Startup.h"

#include "platform/Exception.h"
#include "platform/qt/Settings.h"

namespace vc {

bool tipWindowAtStartup(Settings& settings) {
  const QString show = QStringLiteral("show");
  if (settings.value(show).isEmpty()) {
    if (!settings.setValue(show, QStringLiteral("True"))) throw Exception("設置 'show' 值失敗");
    return true;
  }
  return settings.value(show) == QLatin1String("True");
}

}  // namespace vc
