#pragma once
// What the preview reader makes of a binary form stream: a tree of
// components with the values of the properties they accepted, in the order
// the stream gives them. The window is built from this tree.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formstream/Stream.h"
#include "preview/PreviewClasses.h"

class QWidget;

namespace vc::preview {

struct Property;

struct Value {
  enum class Type { Null, List, Int, Float, String, Ident, Bool, Binary, Set, Nil, Collection };
  Type type = Type::Null;
  std::int64_t integer = 0;
  double number = 0;
  bool boolean = false;
  QString text;                  // String (decoded), Ident
  std::string bytes;             // Binary; an 8-bit String's bytes as stored
  bool eightBit = false;         // a String stored in bytes of a code page
  std::vector<Value> list;       // List
  std::vector<std::string> set;  // Set elements as stored
  std::vector<std::vector<Property>> items;  // Collection

  bool isInt() const { return type == Type::Int; }
  bool isString() const { return type == Type::String; }
};

struct Property {
  std::string name;  // as stored, e.g. "Font.Style"
  Value value;
};

struct Component {
  const ClassInfo* info = nullptr;
  std::string className;  // as stored
  QString name;
  std::vector<Property> properties;
  std::vector<std::unique_ptr<Component>> children;
  Component* parent = nullptr;
  bool closes = false;  // an OnClick/OnDblClick handler bound to the closing handler
  QWidget* widget = nullptr;  // set when the window is built
};

struct ReaderHooks {
  // Given an event handler's name: true when the closing handler is bound.
  std::function<bool(const std::string& handler)> findMethod;
  // Given a message: true when it is handled (reading goes on without it).
  std::function<bool(const QString& message)> error;
};

// Upper bounds that keep hostile streams from building absurd windows.
inline constexpr int kMaxComponentDepth = 64;
inline constexpr int kMaxComponents = 20000;

// Reads the root object record at the stream's position (behind "TPF0" is
// checked) into root. Raises EReadError for what the hooks are not asked
// about: a damaged stream, or a wrong value inside data that a property
// stores in its own way (lines, pictures).
void readForm(TStream& stream, Component& root, const ReaderHooks& hooks);

// Value helpers used by the builder.
const Value* findProperty(const Component& c, const char* name);  // last one wins
int intProperty(const Component& c, const char* name, int fallback);
QString stringProperty(const Component& c, const char* name);
bool boolProperty(const Component& c, const char* name, bool fallback);
QString identProperty(const Component& c, const char* name);
QStringList stringsProperty(const Component& c, const char* name);  // "Lines.Strings"

}  // namespace vc::preview
