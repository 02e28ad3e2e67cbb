#pragma once
// The classes a preview can create, by the names form text uses for them,
// and the property names each of them has.
#include <string>
#include <string_view>

namespace vc::preview {

// How a class is drawn. Several class names share one kind (a database edit
// looks like an edit).
enum class Kind {
  Form, Label, Button, BitBtn, SpeedButton, Edit, Memo, CheckBox, RadioButton,
  GroupBox, RadioGroup, Panel, Bevel, ListBox, ComboBox, PageControl, TabSheet,
  TabControl, StatusBar, MainMenu, MenuItem, Image, Shape, Splitter, ScrollBox,
  Grid, ListView, TreeView, ProgressBar, TrackBar, ScrollBar, ToolBar, ToolButton,
  StaticText, Header, Control, NonVisual,
};

struct ClassInfo {
  const char* name;  // as registered, e.g. "TButton"
  Kind kind;
};

// The registered class whose name equals `name` without regard to case, or
// nullptr. Registered names that are not components (TFont, TStringList...)
// are not found either: no object of a form can be made of them.
const ClassInfo* findClass(std::string_view name);

// The number of names registered (duplicates included).
int registeredClassCount();

enum class PropertyCheck { Known, NoSuchProperty, InvalidPath };

// Whether `path` (possibly dotted, "Font.Style") names a property of an
// object of class `className` (its registered name; the root of a form is
// checked as a form). Names any Delphi version publishes count as known,
// whether the preview draws them or not.
PropertyCheck checkProperty(const ClassInfo& info, bool root, std::string_view path);

// True when `name` is an event property (OnClick...) of the class.
bool isEventName(std::string_view name);

}  // namespace vc::preview
