#pragma once
// Start-up steps before the main window opens.
namespace vc {

class Settings;
class Tnewdfm;

// The decision whether the tip of the day opens, taken from the settings
// value "show": never set (empty) means a first start, which stores "True"
// and opens it; afterwards only the exact text "True" opens it.
// Raises vc::Exception "設置 'show' 值失敗" when the first start cannot store
// its value.
bool tipWindowAtStartup(Settings& settings);

// Shows the main window's tip of the day, not modal, when the decision says
// so. Raises as tipWindowAtStartup.
void showTipAtStartup(Tnewdfm& window);

// Installs Qt's own Traditional Chinese texts (the buttons and labels of
// the file, colour and font dialogs and message boxes); false when they are
// not installed, and the dialogs keep their English texts.
bool installQtTranslations();

}  // namespace vc
