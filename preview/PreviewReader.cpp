// Walks a binary form stream object by object, creating a component for
// every object whose class is registered and keeping the properties its
// class has; everything else is reported through the error hook and skipped.
#include <QStringList>
#include <cmath>
#include <cstring>

#include "formstream/Errors.h"
#include "formstream/TReader.h"
#include "platform/Cp950.h"
#include "preview/PreviewCharset.h"
#include "preview/PreviewTree.h"

namespace vc::preview {

namespace {

constexpr int kMaxValueDepth = 32;

double toDouble(const Extended& e) {
  if (e.isNan()) return NAN;
  const double m = std::ldexp(static_cast<double>(e.mantissa), e.exponentField() - 16383 - 63);
  return e.negative() ? -m : m;
}

[[noreturn]] void invalidValue() { throw EReadError(msg::kInvalidPropertyValue); }

Value readValue(TReader& r, int depth) {
  if (depth > kMaxValueDepth) invalidValue();
  Value v;
  switch (r.peekTag()) {
    case tagList:
      v.type = Value::Type::List;
      r.readTag();
      while (!r.endOfList()) v.list.push_back(readValue(r, depth + 1));
      r.readListEnd();
      break;
    case tagInt8: case tagInt16: case tagInt32:
      v.type = Value::Type::Int;
      v.integer = r.readInteger();
      break;
    case tagInt64:
      v.type = Value::Type::Int;
      v.integer = r.readInt64();
      break;
    case tagExtended: case tagDouble:
      v.type = Value::Type::Float;
      v.number = toDouble(r.readFloat());
      break;
    case tagSingle:
      v.type = Value::Type::Float;
      v.number = r.readSingle();
      break;
    case tagCurrency:
      v.type = Value::Type::Float;
      v.number = static_cast<double>(r.readCurrency()) / 10000.0;
      break;
    case tagDate:
      v.type = Value::Type::Float;
      v.number = r.readDate();
      break;
    case tagString: case tagLString:
      v.type = Value::Type::String;
      v.bytes = r.readString();
      v.eightBit = true;
      v.text = decode8(v.bytes);
      break;
    case tagWString: case tagUtf8String:
      v.type = Value::Type::String;
      v.text = QString::fromStdU16String(r.readWideString());
      break;
    case tagBinary: {
      v.type = Value::Type::Binary;
      r.readTag();
      const std::int32_t n = r.readRawInt32();
      if (n > 0) r.readBytes(v.bytes, static_cast<std::uint64_t>(n));
      break;
    }
    case tagSet:
      v.type = Value::Type::Set;
      r.readTag();
      for (std::string e = r.readShortString(); !e.empty(); e = r.readShortString())
        v.set.push_back(e);
      break;
    case tagCollection:
      v.type = Value::Type::Collection;
      r.readTag();
      while (!r.endOfList()) {
        const unsigned char t = r.peekTag();
        if (t == tagInt8 || t == tagInt16 || t == tagInt32) r.readInteger();
        r.checkTag(tagList);
        std::vector<Property>& item = v.items.emplace_back();
        while (!r.endOfList()) {
          Property p;
          p.name = r.readShortString();
          p.value = readValue(r, depth + 1);
          item.push_back(std::move(p));
        }
        r.readListEnd();
      }
      r.readListEnd();
      break;
    case tagFalse: case tagTrue:
      v.type = Value::Type::Bool;
      v.boolean = r.readTag() == tagTrue;
      break;
    case tagNil:
      r.readTag();
      v.type = Value::Type::Nil;
      break;
    case tagNull:
      r.readTag();
      v.type = Value::Type::Null;
      break;
    case tagIdent:
      v.type = Value::Type::Ident;
      v.text = QString::fromLatin1(r.readIdent());
      break;
    default:
      r.readTag();
      invalidValue();
  }
  return v;
}

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool oneOf(const std::string& u, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (u == n) return true;
  return false;
}

// Properties that an object stores in its own way: a wrong value there is
// not a property error but stops the reading.
bool storedOwnWay(const std::string& u) {
  return oneOf(u, {"LINES.STRINGS", "ITEMS.STRINGS", "TABS.STRINGS", "PICTURE.DATA", "GLYPH.DATA",
                   "BITMAP.DATA", "ICON.DATA", "ITEMS.NODEDATA", "ITEMS.DATA", "SQL.STRINGS"});
}

bool enumOk(const Value& v, std::initializer_list<const char*> names) {
  if (v.type != Value::Type::Ident) return false;
  for (const char* n : names)
    if (v.text.compare(QLatin1String(n), Qt::CaseInsensitive) == 0) return true;
  return false;
}

// Whether the value has the type the property takes, for the properties the
// preview draws (others are kept as they come and never looked at).
bool valueFits(const std::string& u, const Value& v) {
  using T = Value::Type;
  if (oneOf(u, {"LEFT", "TOP", "WIDTH", "HEIGHT", "CLIENTWIDTH", "CLIENTHEIGHT", "FONT.HEIGHT",
                "FONT.SIZE", "ITEMINDEX", "PIXELSPERINCH", "BEVELWIDTH", "BORDERWIDTH",
                "TABINDEX", "MAX", "MIN", "BUTTONWIDTH", "BUTTONHEIGHT", "SHORTCUT",
                "MARGIN", "SPACING", "NUMGLYPHS", "COLCOUNT", "ROWCOUNT", "DEFAULTCOLWIDTH",
                "DEFAULTROWHEIGHT", "FIXEDCOLS", "FIXEDROWS", "TEXTHEIGHT"}))
    return v.type == T::Int;
  // A count of columns in lists and radio groups, a collection in views and grids.
  // A bar's position, or where a form opens.
  if (u == "POSITION") return v.type == T::Int || v.type == T::Ident;
  if (u == "COLUMNS") return v.type == T::Int || v.type == T::Collection;
  if (oneOf(u, {"VISIBLE", "ENABLED", "AUTOSIZE", "WORDWRAP", "CHECKED", "PARENTFONT",
                "PARENTCOLOR", "SCALED", "TRANSPARENT", "STRETCH", "CENTER", "PROPORTIONAL",
                "SHOWCAPTIONS", "FLAT", "DOWN", "TABVISIBLE", "SIMPLEPANEL", "SHOWCAPTION",
                "BEVELED", "DEFAULT", "SHOWACCELCHAR"}))
    return v.type == T::Bool;
  if (oneOf(u, {"CAPTION", "TEXT", "HINT", "FONT.NAME", "SIMPLETEXT"})) return v.type == T::String;
  if (oneOf(u, {"ANCHORS", "FONT.STYLE", "BORDERICONS"})) return v.type == T::Set;
  if (oneOf(u, {"COLOR", "FONT.COLOR", "BRUSH.COLOR", "PEN.COLOR"}))
    return v.type == T::Int || (v.type == T::Ident && v.text.startsWith(QLatin1String("cl")));
  if (u == "FONT.CHARSET") return v.type == T::Int || v.type == T::Ident;
  if (u == "ALIGN")
    return enumOk(v, {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
  if (u == "ALIGNMENT")
    return enumOk(v, {"taLeftJustify", "taRightJustify", "taCenter"});
  if (u == "LINES.STRINGS" || u == "ITEMS.STRINGS" || u == "TABS.STRINGS" || u == "SQL.STRINGS") {
    if (v.type != T::List) return false;
    for (const Value& e : v.list)
      if (e.type != T::String) return false;
    return true;
  }
  if (u == "PICTURE.DATA" || u == "GLYPH.DATA" || u == "BITMAP.DATA" || u == "ICON.DATA" ||
      u == "ITEMS.NODEDATA" || u == "ITEMS.DATA")
    return v.type == T::Binary;
  return true;
}

struct Walker {
  TReader& r;
  const ReaderHooks& hooks;
  int count = 0;

  void report(const QString& message) {
    if (!hooks.error || !hooks.error(message)) throw EReadError(message.toStdString());
  }

  void propertyError(const Component& c, const std::string& path, const char* what) {
    const QString owner = c.name.isEmpty() ? QString::fromLatin1(c.className) : c.name;
    report(QStringLiteral("讀取錯誤 %1%2%3: %4")
               .arg(owner, QStringLiteral("."), QString::fromLatin1(path), QString::fromUtf8(what)));
  }

  void skipObject() {
    skipHeaderAndProperties();
    skipChildren(1);
  }

  // Prefix, class name, object name and the property list of one object.
  void skipHeaderAndProperties() {
    std::int32_t pos = 0;
    r.readPrefix(pos);
    r.readShortString();
    r.readShortString();
    while (!r.endOfList()) {
      r.readShortString();
      r.skipValue();
    }
    r.readListEnd();
  }

  void skipChildren(int depth) {
    if (depth > kMaxNesting) invalidValue();
    while (!r.endOfList()) {
      skipHeaderAndProperties();
      skipChildren(depth + 1);
    }
    r.readListEnd();
  }

  void readProperties(Component& c, bool root) {
    while (!r.endOfList()) {
      const std::string name = r.readShortString();
      const PropertyCheck check = checkProperty(*c.info, root, name);
      if (check != PropertyCheck::Known) {
        r.skipValue();
        propertyError(c, name, check == PropertyCheck::InvalidPath ? "無效的屬性路徑" : "屬性不存在");
        continue;
      }
      if (isEventName(name)) {
        if ((r.peekTag() & 0x7F) != tagIdent) {
          r.skipValue();
          propertyError(c, name, msg::kInvalidPropertyValue);
          continue;
        }
        const std::string handler = r.readIdent();
        const bool bound = hooks.findMethod && hooks.findMethod(handler);
        const std::string u = upper(name);
        if (bound && (u == "ONCLICK" || u == "ONDBLCLICK")) c.closes = true;
        continue;
      }
      Value v = readValue(r, 0);
      const std::string u = upper(name);
      if (!valueFits(u, v)) {
        if (storedOwnWay(u)) invalidValue();
        propertyError(c, name, msg::kInvalidPropertyValue);
        continue;
      }
      c.properties.push_back({name, std::move(v)});
    }
    r.readListEnd();
  }

  void readChildren(Component& parent, int depth) {
    while (!r.endOfList()) {
      if (depth > kMaxComponentDepth || count >= kMaxComponents) {
        skipObject();
        continue;
      }
      std::int32_t pos = 0;
      r.readPrefix(pos);
      std::string cls = r.readShortString();
      std::string name = r.readShortString();
      const ClassInfo* info = findClass(cls);
      if (!info) {
        while (!r.endOfList()) {
          r.readShortString();
          r.skipValue();
        }
        r.readListEnd();
        skipChildren(1);
        report(QStringLiteral("類別 %1 未找到").arg(QString::fromLatin1(cls)));
        continue;
      }
      auto child = std::make_unique<Component>();
      child->info = info;
      child->className = std::move(cls);
      child->name = decode8(name);
      child->parent = &parent;
      ++count;
      readProperties(*child, false);
      readChildren(*child, depth + 1);
      parent.children.push_back(std::move(child));
    }
    r.readListEnd();
  }
};

}  // namespace

void readForm(TStream& stream, Component& root, const ReaderHooks& hooks) {
  char sig[4];
  stream.readBuffer(sig, 4);
  if (std::memcmp(sig, "TPF0", 4) != 0) throw EReadError(msg::kInvalidStreamFormat);
  TReader r(stream);
  Walker w{r, hooks};
  std::int32_t pos = 0;
  r.readPrefix(pos);
  root.className = r.readShortString();
  root.name = decode8(r.readShortString());
  root.info = findClass("TForm");
  w.readProperties(root, true);
  w.readChildren(root, 1);
}

const Value* findProperty(const Component& c, const char* name) {
  for (auto it = c.properties.rbegin(); it != c.properties.rend(); ++it)
    if (it->name.size() == std::strlen(name) && upper(it->name) == upper(name)) return &it->value;
  return nullptr;
}

int intProperty(const Component& c, const char* name, int fallback) {
  const Value* v = findProperty(c, name);
  if (!v || v->type != Value::Type::Int) return fallback;
  // Geometry beyond this is nonsense in any form and overflows arithmetic.
  return static_cast<int>(std::clamp<std::int64_t>(v->integer, -100000, 100000));
}

QString stringProperty(const Component& c, const char* name) {
  const Value* v = findProperty(c, name);
  return v && v->type == Value::Type::String ? v->text : QString();
}

bool boolProperty(const Component& c, const char* name, bool fallback) {
  const Value* v = findProperty(c, name);
  return v && v->type == Value::Type::Bool ? v->boolean : fallback;
}

QString identProperty(const Component& c, const char* name) {
  const Value* v = findProperty(c, name);
  return v && v->type == Value::Type::Ident ? v->text : QString();
}

QStringList stringsProperty(const Component& c, const char* name) {
  QStringList out;
  if (const Value* v = findProperty(c, name); v && v->type == Value::Type::List)
    for (const Value& e : v->list) out << e.text;
  return out;
}

}  // namespace vc::preview
