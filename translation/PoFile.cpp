#include "translation/PoFile.h"

#include <gettext-po.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <memory>
#include <mutex>
#include <sstream>


#include "platform/AtomicFile.h"
#include "platform/Utf.h"
#include "platform/WholeFile.h"
#include "translation/PoText.h"

namespace vc {

namespace {

// libgettextpo reports through plain C callbacks and keeps global state, so
// one call runs at a time and the callbacks collect into the active report.
std::mutex g_poMutex;

struct Report {
  std::vector<std::string> errors;
  std::jmp_buf fatal;
};
Report* g_report = nullptr;

std::string where(const char* file, std::size_t line, std::size_t column) {
  if (!file) return {};
  std::string s = file;
  if (line != static_cast<std::size_t>(-1)) {
    s += ":" + std::to_string(line);
    if (column != static_cast<std::size_t>(-1) && column != 0) s += ":" + std::to_string(column);
  }
  return s + ": ";
}

void onError(int severity, po_message_t, const char* file, std::size_t line, std::size_t column, int,
             const char* text) {
  if (severity == PO_SEVERITY_WARNING) return;
  std::string message = where(file, line, column) + (text ? text : "");
  while (!message.empty() && message.back() == '\n') message.pop_back();
  g_report->errors.push_back(std::move(message));
  // A fatal error must not return into the library.
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(g_report->fatal, 1);
}

std::string trimmed(const char* text) {
  std::string t = text ? text : "";
  while (!t.empty() && (t.back() == '\n' || t.back() == '.')) t.pop_back();
  while (!t.empty() && t.front() == '.') t.erase(t.begin());
  return t;
}

void onError2(int severity, po_message_t m1, const char* file1, std::size_t line1, std::size_t column1, int multi1,
              const char* text1, po_message_t, const char* file2, std::size_t line2, std::size_t column2, int,
              const char* text2) {
  if (severity == PO_SEVERITY_WARNING) return;
  // The library does not always say where the other message is.
  const std::string other = where(file2, line2, column2);
  const std::string both = trimmed(text1) + (other.empty() ? "" : " (" + other + trimmed(text2) + ")");
  onError(severity == PO_SEVERITY_FATAL_ERROR ? PO_SEVERITY_ERROR : severity, m1, file1, line1, column1, multi1,
          both.c_str());
  if (severity == PO_SEVERITY_FATAL_ERROR) std::longjmp(g_report->fatal, 1);
}

const po_xerror_handler kHandler = {onError, onError2};

struct PoFileFree {
  void operator()(po_file_t f) const { po_file_free(f); }
};
using PoFilePtr = std::unique_ptr<std::remove_pointer_t<po_file_t>, PoFileFree>;

// Runs f (which calls into libgettextpo) with errors collected; raises
// EPoFileError with all of them when there were any.
template <typename F>
void guarded(F&& f) {
  std::lock_guard<std::mutex> lock(g_poMutex);
  Report report;
  g_report = &report;
  // Nothing with a destructor lives between here and the library's frames.
  if (setjmp(report.fatal) == 0) f();
  g_report = nullptr;
  if (!report.errors.empty()) {
    constexpr std::size_t kShown = 10;
    std::string all;
    for (std::size_t i = 0; i < report.errors.size() && i < kShown; ++i) all += (i ? "\n" : "") + report.errors[i];
    if (report.errors.size() > kShown) all += "\n(" + std::to_string(report.errors.size() - kShown) + " more)";
    throw EPoFileError(all);
  }
}


std::string headerText(const std::string& project, const PoPrefill* prefill = nullptr) {
  char date[32];
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M+0000", &tm);
  std::string safeProject;
  for (char c : project) safeProject += (c == '\n' || c == '\r') ? ' ' : c;
  return "Project-Id-Version: " + safeProject +
         "\n"
         "Report-Msgid-Bugs-To: \n"
         "POT-Creation-Date: " +
         date +
         "\n"
         "PO-Revision-Date: " + (prefill ? std::string(date) : "YEAR-MO-DA HO:MI+ZONE") +
         "\n"
         "Last-Translator: FULL NAME <EMAIL@ADDRESS>\n"
         "Language-Team: LANGUAGE <LL@li.org>\n"
         "Language: " + (prefill ? prefill->language : std::string()) +
         "\n"
         "MIME-Version: 1.0\n"
         "Content-Type: text/plain; charset=UTF-8\n"
         "Content-Transfer-Encoding: 8bit\n" +
         (prefill ? "X-Prefill: OpenCC " + prefill->conversion + "\n" : std::string());
}

// The line of each message's msgid, in the order the library lists them
// (header and obsolete entries included), found by looking at line starts
// only; empty when the file cannot be read.
std::vector<std::size_t> msgidLines(const std::string& bytes) {
  std::vector<std::size_t> lines;
  std::size_t number = 0;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    ++number;
    std::string_view l = line;
    if (l.starts_with("#~")) l.remove_prefix(2);
    while (!l.empty() && (l.front() == ' ' || l.front() == '\t')) l.remove_prefix(1);
    if (l.starts_with("msgid ") || l.starts_with("msgid\t")) lines.push_back(number);
  }
  return lines;
}

std::string readAll(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) throw EPoFileError(path + ": " + ec.message());
  if (size > kMaxPoFileSize)
    throw EPoFileError(path + ": larger than " + std::to_string(kMaxPoFileSize >> 20) + " MiB; not a translation of forms");
  try {
    return readWholeFile(path, kMaxPoFileSize);
  } catch (const EFileRead& e) {
    throw EPoFileError(e.what());
  }
}

std::string charsetOf(po_file_t file) {
  const char* header = po_file_domain_header(file, nullptr);
  if (!header) return {};
  std::unique_ptr<char, decltype(&std::free)> type(po_header_field(header, "Content-Type"), &std::free);
  if (!type) return {};
  std::string t = type.get();
  std::size_t at = t.find("charset=");
  if (at == std::string::npos) return {};
  std::string cs = t.substr(at + 8);
  while (!cs.empty() && (cs.back() == ' ' || cs.back() == ';')) cs.pop_back();
  for (char& c : cs)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return cs;
}

}  // namespace

void writePoTemplate(const std::string& path, const std::string& project, const std::vector<PoEntry>& entries) {
  writeFileAtomically(path, poTemplateText(project, entries));
}

std::string poTemplateText(const std::string& project, const std::vector<PoEntry>& entries) {
  return poFileText(project, entries, nullptr);
}

std::string poFileText(const std::string& project, const std::vector<PoEntry>& entries, const PoPrefill* prefill) {
  // A template's header is fuzzy until a translator fills it in; a
  // prefilled file says where its translations came from instead.
  if (!prefill) return poText(headerText(project), entries);
  return poText(headerText(project, prefill), entries,
                "Translations prefilled by OpenCC (" + prefill->conversion + "): review them before use.");
}

namespace {

// Every entry must be UTF-8 and no translation too long, whichever reading
// found it.
void checkEntries(const std::string& path, const std::vector<PoEntry>& entries) {
  for (const PoEntry& e : entries) {
    const std::string at = path + (e.line ? ":" + std::to_string(e.line) : std::string()) + ": ";
    if (!utf::isValidUtf8(e.context) || !utf::isValidUtf8(e.msgid) || !utf::isValidUtf8(e.msgstr)) throw EPoFileError(at + "text that is not valid UTF-8");
    if (e.msgstr.size() > kMaxTranslation)
      throw EPoFileError(at + "translation longer than " + std::to_string(kMaxTranslation) + " bytes");
  }
}

std::vector<PoEntry> libraryReading(const std::string& path, const std::string& bytes) {
  PoFilePtr file;
  guarded([&] { file.reset(po_file_read(path.c_str(), &kHandler)); });
  if (!file) throw EPoFileError(path + ": cannot be read");
  const std::string charset = charsetOf(file.get());
  if (!charset.empty() && charset != "UTF-8" && charset != "CHARSET" && charset != "ASCII")
    throw EPoFileError(path + ": charset " + charset + "; only UTF-8 is read (msgconv --to-code=UTF-8 converts it)");

  const std::vector<std::size_t> lines = msgidLines(bytes);
  std::vector<PoEntry> entries;
  po_message_iterator_t it = po_message_iterator(file.get(), nullptr);
  std::size_t index = 0;
  for (po_message_t m; (m = po_next_message(it)) != nullptr; ++index) {
    const std::size_t line = index < lines.size() ? lines[index] : 0;
    const char* msgid = po_message_msgid(m);
    if (po_message_is_obsolete(m) || (msgid[0] == '\0' && !po_message_msgctxt(m))) continue;
    PoEntry e;
    e.hasContext = po_message_msgctxt(m) != nullptr;
    e.context = e.hasContext ? po_message_msgctxt(m) : "";
    e.msgid = msgid;
    e.msgstr = po_message_msgstr(m);
    e.fuzzy = po_message_is_fuzzy(m) != 0;
    e.line = line;
    entries.push_back(std::move(e));
  }
  po_message_iterator_free(it);
  return entries;
}

}  // namespace

std::vector<PoEntry> readPoFile(const std::string& path) {
  const std::string bytes = readAll(path);
  std::optional<std::vector<PoEntry>> entries = quickReadPo(bytes);
  if (!entries) entries = libraryReading(path, bytes);
  checkEntries(path, *entries);
  return std::move(*entries);
}

std::vector<PoEntry> readPoFileByLibrary(const std::string& path) {
  std::vector<PoEntry> entries = libraryReading(path, readAll(path));
  checkEntries(path, entries);
  return entries;
}

}  // namespace vc
