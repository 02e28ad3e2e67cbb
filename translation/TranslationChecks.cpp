#include "translation/TranslationChecks.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/Utf.h"
#include "translation/ResourceStringTranslation.h"

namespace vc {

namespace {

std::u32string toU32(std::string_view utf8) {
  const std::u16string u16 = utf::utf8ToUtf16(utf8);
  std::u32string out;
  out.reserve(u16.size());
  for (std::size_t i = 0; i < u16.size(); ++i) {
    char32_t c = u16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < u16.size() && u16[i + 1] >= 0xDC00 && u16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u16[i + 1] - 0xDC00);
      ++i;
    }
    out += c;
  }
  return out;
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) utf::appendUtf8(out, c);
  return out;
}

// A text inside a message: quoted, on one line.
std::string quoted(std::string_view text) { return "\"" + escapedLine(text) + "\""; }

bool isBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\u3000' || c == U'\u00A0'; }

std::size_t leadingBlanks(std::u32string_view t) {
  std::size_t n = 0;
  while (n < t.size() && isBlank(t[n])) ++n;
  return n;
}

std::size_t trailingBlanks(std::u32string_view t) {
  std::size_t n = 0;
  while (n < t.size() && isBlank(t[t.size() - 1 - n])) ++n;
  return n;
}

enum class Closing { None, Colon, Ellipsis, FullStop };

const char* closingName(Closing c) {
  switch (c) {
    case Closing::Colon: return "a colon";
    case Closing::Ellipsis: return "an ellipsis";
    case Closing::FullStop: return "a full stop";
    case Closing::None: break;
  }
  return "no closing mark";
}

// The closing mark of a text, behind trailing blanks and a hotkey written
// after the words ("(&O)"): full-width and half-width marks alike.
Closing closingOf(std::u32string t) {
  t.resize(t.size() - trailingBlanks(t));
  if (t.size() >= 4 && (t[t.size() - 4] == U'(' || t[t.size() - 4] == U'\uFF08') && t[t.size() - 3] == U'&' &&
      (t.back() == U')' || t.back() == U'\uFF09'))
    t.resize(t.size() - 4);
  t.resize(t.size() - trailingBlanks(t));
  if (t.empty()) return Closing::None;
  const char32_t last = t.back();
  if (last == U'\u2026' || last == U'\u22EF' || (t.size() >= 3 && t.ends_with(U"..."))) return Closing::Ellipsis;
  if (last == U':' || last == U'\uFF1A') return Closing::Colon;
  if (last == U'.' || last == U'\u3002' || last == U'\uFF0E') return Closing::FullStop;
  return Closing::None;
}

std::string directiveList(const std::vector<FormatDirective>& ds) {
  if (ds.empty()) return "none";
  std::string out;
  for (const FormatDirective& d : ds) out += (out.empty() ? "" : " ") + d.text;
  return out;
}

// What a text's directives ask of Format's arguments, and its "%%" count,
// in an order that does not depend on where they stand.
std::vector<std::pair<int, char>> argumentUse(const std::vector<FormatDirective>& ds) {
  std::vector<std::pair<int, char>> use;
  for (const FormatDirective& d : ds) {
    for (int a : d.starArguments) use.emplace_back(a, '*');
    use.emplace_back(d.argument, d.type);
  }
  std::sort(use.begin(), use.end());
  return use;
}

bool hasDirective(const std::vector<FormatDirective>& ds) {
  return std::any_of(ds.begin(), ds.end(), [](const FormatDirective& d) { return d.type != 0; });
}

std::string hotkeyText(char32_t c) { return "\"&" + toUtf8(std::u32string(1, c)) + "\""; }

}  // namespace

std::string_view checkName(CheckKind kind) {
  switch (kind) {
    case CheckKind::HotkeyDuplicate: return "hotkey-duplicate";
    case CheckKind::HotkeyLost: return "hotkey-lost";
    case CheckKind::HotkeyAdded: return "hotkey-added";
    case CheckKind::Placeholder: return "placeholder";
    case CheckKind::Overflow: return "overflow";
    case CheckKind::LineBreaks: return "line-breaks";
    case CheckKind::Whitespace: return "whitespace";
    case CheckKind::Punctuation: return "punctuation";
    case CheckKind::Untranslated: return "untranslated";
  }
  return {};
}

std::vector<FormatDirective> formatDirectives(std::string_view text) {
  std::vector<FormatDirective> out;
  int next = 0;  // Format's argument pointer
  auto number = [&](std::size_t& i, bool& star) {
    star = false;
    if (i < text.size() && text[i] == '*') {
      star = true;
      ++i;
      return true;
    }
    const std::size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i > from;
  };
  for (std::size_t at = text.find('%'); at != std::string_view::npos; at = text.find('%', at)) {
    FormatDirective d;
    std::size_t i = at + 1;
    if (i < text.size() && text[i] == '%') {
      d.text = "%%";
      d.type = '%';
      out.push_back(std::move(d));
      at = i + 1;
      continue;
    }
    bool star = false;
    // [index ":"] ["-"] [width] ["." precision] type
    const std::size_t mark = i;
    if (number(i, star) && i < text.size() && text[i] == ':') {
      if (star) {
        ++next;  // the index itself comes from the arguments
      } else {
        const std::string_view digits = text.substr(mark, i - mark);
        next = digits.size() > 6 ? 1000000 : std::stoi(std::string(digits));
      }
      ++i;
    } else {
      i = mark;
    }
    if (i < text.size() && text[i] == '-') ++i;
    if (number(i, star) && star) d.starArguments.push_back(next++);
    bool broken = false;
    if (i < text.size() && text[i] == '.') {
      ++i;
      if (!number(i, star))
        broken = true;
      else if (star)
        d.starArguments.push_back(next++);
    }
    if (!broken && i < text.size() &&
        std::string_view("dDuUeEfFgGnNmMpPsSxX").find(text[i]) != std::string_view::npos) {
      d.type = static_cast<char>(text[i] >= 'a' ? text[i] - 'a' + 'A' : text[i]);
      d.argument = next++;
      ++i;
    } else {
      d.starArguments.clear();
      i = at + 1;
    }
    d.text = std::string(text.substr(at, i - at));
    out.push_back(std::move(d));
    at = i;
  }
  return out;
}

std::optional<char32_t> hotkeyOf(std::string_view text) {
  const std::u32string t = toU32(text);
  for (std::size_t i = 0; i + 1 < t.size(); ++i) {
    if (t[i] != U'&') continue;
    if (t[i + 1] == U'&') {
      ++i;
      continue;
    }
    // Upper case, for the letters of the scripts menus use: Latin (full-width
    // ones act as their half-width selves), Greek, Cyrillic.
    char32_t c = t[i + 1];
    if (c >= U'\uFF41' && c <= U'\uFF5A') c = c - U'\uFF41' + U'a';
    if (c >= U'\uFF21' && c <= U'\uFF3A') c = c - U'\uFF21' + U'A';
    if ((c >= U'a' && c <= U'z') || (c >= U'\u00E0' && c <= U'\u00FE' && c != U'\u00F7') ||
        (c >= U'\u03B1' && c <= U'\u03C9' && c != U'\u03C2') || (c >= U'\u0430' && c <= U'\u044F'))
      c -= 0x20;
    else if (c >= U'\u0450' && c <= U'\u045F')
      c -= 0x50;
    return c;
  }
  return std::nullopt;
}

std::vector<TextProblem> compareTexts(std::string_view source, std::string_view translation, bool withHotkeys) {
  std::vector<TextProblem> out;
  if (withHotkeys) {
    const auto from = hotkeyOf(source), to = hotkeyOf(translation);
    if (from && !to)
      out.push_back({CheckKind::HotkeyLost, "the source has the hotkey " + hotkeyText(*from) + ", the translation none"});
    else if (!from && to)
      out.push_back({CheckKind::HotkeyAdded, "the translation has the hotkey " + hotkeyText(*to) + ", the source none"});
  }

  const std::vector<FormatDirective> sd = formatDirectives(source), td = formatDirectives(translation);
  if (hasDirective(sd) || hasDirective(td)) {
    if (argumentUse(sd) != argumentUse(td))
      out.push_back({CheckKind::Placeholder,
                     "Format directives differ: source " + directiveList(sd) + ", translation " + directiveList(td)});
  }

  const auto breaks = [](std::string_view t) { return std::count(t.begin(), t.end(), '\n'); };
  if (breaks(source) != breaks(translation))
    out.push_back({CheckKind::LineBreaks, "line breaks: " + std::to_string(breaks(source)) + " in the source, " +
                                              std::to_string(breaks(translation)) + " in the translation"});

  const std::u32string s = toU32(source), t = toU32(translation);
  const std::u32string_view sv = s, tv = t;
  const std::size_t sl = leadingBlanks(sv), tl = leadingBlanks(tv);
  const std::size_t st = sl == s.size() ? 0 : trailingBlanks(sv), tt = tl == t.size() ? 0 : trailingBlanks(tv);
  std::string blanks;
  if (sv.substr(0, sl) != tv.substr(0, tl))
    blanks = "leading blanks: source " + quoted(toUtf8(sv.substr(0, sl))) + ", translation " + quoted(toUtf8(tv.substr(0, tl)));
  if (sv.substr(s.size() - st) != tv.substr(t.size() - tt))
    blanks += (blanks.empty() ? "" : "; ") + std::string("trailing blanks: source ") +
              quoted(toUtf8(sv.substr(s.size() - st))) + ", translation " + quoted(toUtf8(tv.substr(t.size() - tt)));
  if (!blanks.empty()) out.push_back({CheckKind::Whitespace, blanks});

  const Closing sc = closingOf(s), tc = closingOf(t);
  if (sc != tc)
    out.push_back({CheckKind::Punctuation, std::string("the source ends with ") + closingName(sc) +
                                               ", the translation with " + closingName(tc)});
  return out;
}

namespace {

// The part of a component path that names its parent: "" for the form's own
// children.
std::string parentOf(const std::string& component) {
  const std::size_t dot = component.rfind('.');
  return dot == std::string::npos ? std::string() : component.substr(0, dot);
}

// Strings whose "&" marks a hotkey: the captions of components and of menu
// items, not the form's title.
bool isHotkeyCaption(const FormString& s) { return s.property == "Caption" && !s.component.empty(); }

// Captions that take part in a parent's hotkeys: an action's caption goes to
// the controls and menu items linked to it, wherever they are.
bool sharesParentHotkeys(const FormString& s) { return isHotkeyCaption(s) && !s.className.ends_with("Action"); }

// Properties a control shows, so that its fit depends on them.
bool isShownText(const std::string& property) {
  return property == "Caption" || property == "Text" || property == "SimpleText" || property.starts_with("Lines[") ||
         property.starts_with("Items[") || property.starts_with("Panels[") || property.starts_with("Sections[") ||
         property.starts_with("Tabs[");
}

}  // namespace

std::vector<std::size_t> hotkeyPartners(const std::vector<FormString>& strings, std::size_t index,
                                        const std::function<std::string(std::size_t)>& finalText) {
  std::vector<std::size_t> out;
  if (index >= strings.size() || !sharesParentHotkeys(strings[index])) return out;
  const auto key = hotkeyOf(finalText(index));
  if (!key) return out;
  const std::string parent = parentOf(strings[index].component);
  for (std::size_t i = 0; i < strings.size(); ++i)
    if (i != index && sharesParentHotkeys(strings[i]) && parentOf(strings[i].component) == parent &&
        hotkeyOf(finalText(i)) == key)
      out.push_back(i);
  return out;
}

namespace {

struct Matcher {
  std::unordered_map<std::string, std::vector<const PoEntry*>> byContext;
  std::set<const PoEntry*> used;

  explicit Matcher(const std::vector<PoEntry>& entries) {
    for (const PoEntry& e : entries) byContext[e.context].push_back(&e);
  }
  const PoEntry* match(const std::string& context, const std::string& text) {
    if (auto it = byContext.find(context); it != byContext.end())
      for (const PoEntry* e : it->second)
        if (e->hasContext && e->msgid == text && !used.count(e)) {
          used.insert(e);
          return e;
        }
    return nullptr;
  }
};

bool isTranslation(const PoEntry* e) { return e && !e->fuzzy && !e->msgstr.empty(); }

void untranslated(const PoEntry* e, const CheckOptions& options, CheckProblem base, std::vector<CheckProblem>& out) {
  if (!options.untranslated || !e || isTranslation(e)) return;
  base.check = CheckKind::Untranslated;
  base.message = e->fuzzy && !e->msgstr.empty() ? "fuzzy, so not used" : "not translated";
  out.push_back(std::move(base));
}

void addTextProblems(std::string_view source, std::string_view translation, bool withHotkeys, const CheckProblem& base,
                     std::vector<CheckProblem>& out) {
  for (TextProblem& t : compareTexts(source, translation, withHotkeys)) {
    CheckProblem p = base;
    p.check = t.check;
    p.message = std::move(t.message);
    out.push_back(std::move(p));
  }
}

void checkForm(const ExchangeForm& form, Matcher& matcher, const CheckOptions& options, std::vector<CheckProblem>& out) {
  const std::size_t count = form.strings.size();
  std::vector<const PoEntry*> entries(count, nullptr);
  std::vector<std::vector<CheckProblem>> problems(count);
  std::vector<CheckProblem> bases(count);
  for (std::size_t i = 0; i < count; ++i) {
    const FormString& s = form.strings[i];
    entries[i] = matcher.match(form.contexts[i], s.text);
    CheckProblem& base = bases[i];
    base.context = form.contexts[i];
    base.line = entries[i] ? entries[i]->line : 0;
    base.form = form.name;
    base.component = s.component;
    base.property = s.property;
    untranslated(entries[i], options, base, problems[i]);
    if (isTranslation(entries[i]))
      addTextProblems(s.text, entries[i]->msgstr, isHotkeyCaption(s), base, problems[i]);
  }
  auto finalText = [&](std::size_t i) -> const std::string& {
    return isTranslation(entries[i]) ? entries[i]->msgstr : form.strings[i].text;
  };

  // Captions of one parent, or items of one menu level, sharing a hotkey.
  std::map<std::pair<std::string, char32_t>, std::vector<std::size_t>> byHotkey;
  for (std::size_t i = 0; i < count; ++i)
    if (sharesParentHotkeys(form.strings[i]))
      if (auto key = hotkeyOf(finalText(i))) byHotkey[{parentOf(form.strings[i].component), *key}].push_back(i);
  for (const auto& [key, members] : byHotkey) {
    if (members.size() < 2) continue;
    for (std::size_t i : members) {
      if (!isTranslation(entries[i])) continue;
      const std::size_t other = members[i == members[0] ? 1 : 0];
      CheckProblem p = bases[i];
      p.check = CheckKind::HotkeyDuplicate;
      p.message = hotkeyText(key.second) + " is also the hotkey of " + form.contexts[other] + " (" +
                  quoted(finalText(other)) + ")";
      problems[i].push_back(std::move(p));
    }
  }

  // Controls whose translated text no longer fits.
  if (options.overflow) {
    std::vector<StringReplacement> replacements;
    for (std::size_t i = 0; i < count; ++i)
      if (isTranslation(entries[i]) && isShownText(form.strings[i].property))
        replacements.push_back({&form.strings[i], entries[i]->msgstr});
    if (!replacements.empty()) {
      std::vector<OverflowHit> hits, sourceHits;
      try {
        hits = options.overflow(replaceFormStrings(form.stream, replacements));
        if (!hits.empty()) sourceHits = options.overflow(form.stream);
      } catch (const std::exception&) {
        hits.clear();  // a form the layout cannot read has no fit to tell
      }
      for (const OverflowHit& h : hits) {
        const bool before = std::any_of(sourceHits.begin(), sourceHits.end(),
                                        [&](const OverflowHit& s) { return s.component == h.component; });
        for (const StringReplacement& r : replacements) {
          if (r.string->component != h.component) continue;
          const auto i = static_cast<std::size_t>(r.string - form.strings.data());
          CheckProblem p = bases[i];
          p.check = CheckKind::Overflow;
          p.message = "the text does not fit its control (" + h.className + ", " + std::to_string(h.width) +
                      " px wide)" + (before ? "; the source text does not fit either" : "");
          problems[i].push_back(std::move(p));
        }
      }
    }
  }

  for (std::size_t i = 0; i < count; ++i)
    for (CheckProblem& p : problems[i]) out.push_back(std::move(p));
}

}  // namespace

std::vector<CheckProblem> checkTranslation(const ExchangeSource& source, const std::vector<PoEntry>& entries,
                                           const CheckOptions& options) {
  std::vector<CheckProblem> out;
  Matcher matcher(entries);
  for (const ExchangeForm& form : source.forms)
    if (form.read) checkForm(form, matcher, options, out);
  for (const ExchangeResourceString& r : source.resourceStrings) {
    if (!r.taken) continue;
    const PoEntry* e = matcher.match(r.context, r.text);
    CheckProblem base;
    base.context = r.context;
    base.line = e ? e->line : 0;
    base.property = std::to_string(r.id);
    untranslated(e, options, base, out);
    if (isTranslation(e)) addTextProblems(r.text, e->msgstr, true, base, out);
  }
  return out;
}

std::string problemLine(const CheckProblem& p, const std::string& poName) {
  return poName + (p.line ? ":" + std::to_string(p.line) : std::string()) + ": " + std::string(checkName(p.check)) +
         ": " + p.message;
}

std::string problemTsvLine(const CheckProblem& p) {
  auto cell = [](std::string_view s) {
    std::string out;
    for (char c : s) out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
    return out;
  };
  return cell(p.context) + "\t" + std::string(checkName(p.check)) + "\t" + cell(p.message);
}

}  // namespace vc
