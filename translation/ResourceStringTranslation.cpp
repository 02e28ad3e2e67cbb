#include "translation/ResourceStringTranslation.h"

#include <unordered_map>

#include "modres/Module.h"

namespace vc {

ResourceStringTranslation::ResourceStringTranslation(modres::Module& module, const std::string& modulePath) {
  for (ExchangeResourceString& s : stringTableExchangeSource(module, modulePath).resourceStrings)
    if (s.taken) m_strings.push_back(std::move(s));
  m_translations.resize(m_strings.size());
}

std::size_t ResourceStringTranslation::translatedCount() const {
  std::size_t n = 0;
  for (const std::string& t : m_translations) n += t.empty() ? 0 : 1;
  return n;
}

void ResourceStringTranslation::load(const std::string& poPath, bool onlyMissing) {
  std::unordered_map<std::string, const PoEntry*> byContext;
  const std::vector<PoEntry> entries = readPoFile(poPath);
  for (const PoEntry& e : entries)
    if (e.hasContext) byContext.emplace(e.context, &e);
  for (std::size_t i = 0; i < m_strings.size(); ++i) {
    if (onlyMissing && !m_translations[i].empty()) continue;
    auto it = byContext.find(m_strings[i].context);
    if (it == byContext.end()) continue;
    const PoEntry& e = *it->second;
    if (e.msgid != m_strings[i].text || e.fuzzy || e.msgstr == e.msgid) continue;
    m_translations[i] = e.msgstr;
  }
}

void ResourceStringTranslation::save(const std::string& poPath, const std::string& project) const {
  std::vector<PoEntry> entries;
  entries.reserve(m_strings.size());
  for (std::size_t i = 0; i < m_strings.size(); ++i) {
    const ExchangeResourceString& s = m_strings[i];
    PoEntry e;
    e.context = s.context;
    e.msgid = s.text;
    e.msgstr = m_translations[i];
    e.comment = "resource string " + std::to_string(s.id) + ", language " + std::to_string(s.language);
    e.pascalFormat = s.pascalFormat;
    entries.push_back(std::move(e));
  }
  writePoTemplate(poPath, project, entries);
}

std::string escapedLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string unescapedLine(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      const char n = line[i + 1];
      if (n == '\\' || n == 'n' || n == 't') {
        out += n == 'n' ? '\n' : n == 't' ? '\t' : '\\';
        ++i;
        continue;
      }
    }
    out += line[i];
  }
  return out;
}

ApplyResult resourceStringsOfFile(modres::Module& module, const std::string& modulePath, const std::string& poPath) {
  return applyTranslation(stringTableExchangeSource(module, modulePath), resourceStringEntries(readPoFile(poPath)),
                          poPath);
}

}  // namespace vc
