#include "workbench/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "auxwindows/totay.h"
#include "platform/Exception.h"
#include "platform/qt/Settings.h"
#include "workbench/newform.h"

namespace vc {

bool tipWindowAtStartup(Settings& settings) {
  const QString show = QStringLiteral("show");
  if (settings.value(show).isEmpty()) {
    if (!settings.setValue(show, QStringLiteral("True"))) throw Exception("設置 'show' 值失敗");
    return true;
  }
  return settings.value(show) == QLatin1String("True");
}

void showTipAtStartup(Tnewdfm& window) {
  if (tipWindowAtStartup(*window.settings())) window.tadayform->show();
}

bool installQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace vc
