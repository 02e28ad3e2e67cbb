// Real form files nobody here wrote: text -> binary -> text gives the file
// back, and binary -> text -> binary gives the stream back (or its canonical
// re-encoding). Skipped when the corpus is not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>

#include "Canonical.h"
#include "formstream/BinaryToText.h"
#include "formstream/FormFile.h"
#include "formstream/TFiler.h"
#include "formstream/TextToBinary.h"
#include "tests/ReadFile.h"

using namespace vc;
namespace fs = std::filesystem;

namespace {

using test::readFile;

std::vector<fs::path> corpusFiles(const char* folder) {
  std::vector<fs::path> files;
  fs::path dir = fs::path(VC_CORPUS_DIR) / folder;
  if (!fs::is_directory(dir)) return files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// CR LF line ends throughout (a missing last one added), without a UTF-8 BOM.
std::string normalised(const std::string& raw) {
  std::string_view s = raw;
  if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
  std::string r;
  r.reserve(s.size() + s.size() / 20);
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      r += "\r\n";
    } else {
      r += s[i];
    }
  }
  if (!r.empty() && r.back() != '\n') r += "\r\n";
  return r;
}

std::string toBinary(const std::string& text) {
  TMemoryStream in(text), out;
  TextToBinary(in, out);
  return out.data();
}

std::string toText(const std::string& binary) {
  TMemoryStream in(binary), out;
  BinaryToText(in, out);
  return out.data();
}

std::string firstDifference(const std::string& a, const std::string& b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  std::size_t from = a.rfind('\n', i) == std::string::npos ? 0 : a.rfind('\n', i) + 1;
  std::size_t line = static_cast<std::size_t>(std::count(a.begin(), a.begin() + static_cast<long>(from), '\n')) + 1;
  return "line " + std::to_string(line) + ":\n  file: " + a.substr(from, std::min<std::size_t>(a.find('\n', i) - from, 160)) +
         "\n  ours: " + b.substr(from, std::min<std::size_t>(b.find('\n', i) - from, 160));
}

// Byte strings compared with a short report: the first differing offset and
// a hex excerpt around it.
testing::AssertionResult sameBytes(const std::string& got, const std::string& want) {
  if (got == want) return testing::AssertionSuccess();
  std::size_t i = 0;
  while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
  auto excerpt = [i](const std::string& s) {
    std::string r;
    char buf[4];
    for (std::size_t k = i >= 8 ? i - 8 : 0; k < std::min(s.size(), i + 16); ++k) {
      std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(s[k]));
      r += buf;
    }
    return r;
  };
  return testing::AssertionFailure() << "sizes " << got.size() << " and " << want.size() << ", first difference at "
                                     << i << "\n  got:  " << excerpt(got) << "\n  want: " << excerpt(want);
}

// What the writing program did differently. Checked by hand: the first
// differing line of each file shows it.
constexpr const char* kHashCodes = "a byte above 127 inside a string is written as a # code (#243 for the byte F3)";
constexpr const char* kFloat18 = "floats are written with 18 decimals (100.000000000000000000)";
constexpr const char* kApostrophes = "an apostrophe in a string is doubled instead of written #39";
constexpr const char* kPieces = "a long wide string is cut into pieces at other places";
constexpr const char* kOwnLine = "a string of fewer than 65 bytes is moved to a line of its own";
constexpr const char* kEdited = "edited by hand: a blank first line and two blanks behind object";
constexpr const char* kDamaged = "damaged: an object lacks its end, so the text does not convert";

// Files whose text our rendering cannot reproduce, with the reason.
const std::map<std::string, const char*>& knownDifferences();

}  // namespace

TEST(CorpusRoundTrip, TextFilesComeBackIdentical) {
  auto files = corpusFiles("text");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << VC_CORPUS_DIR;
  int identical = 0, listed = 0;
  for (const auto& path : files) {
    std::string name = path.filename().string();
    std::string text = normalised(readFile(path));
    std::string binary, back, again;
    try {
      binary = toBinary(text);
      back = toText(binary);
      again = toBinary(back);
    } catch (const std::exception& e) {
      auto known = knownDifferences().find(name);
      if (known != knownDifferences().end() && known->second == kDamaged) ++listed;
      else ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    // Whatever the file looked like, converting our rendering gives the
    // canonical stream, and from there on text and stream stay fixed.
    EXPECT_TRUE(sameBytes(again, test::canonicalStream(binary))) << name;
    EXPECT_TRUE(toText(again) == back) << name;
    auto known = knownDifferences().find(name);
    if (back == text) {
      ++identical;
      EXPECT_EQ(known, knownDifferences().end()) << name << " is identical now; take it off the list";
    } else if (known != knownDifferences().end()) {
      ++listed;
    } else {
      ADD_FAILURE() << name << " differs at " << firstDifference(text, back);
    }
  }
  std::printf("text corpus: %d of %zu identical, %d differ for a listed reason\n", identical, files.size(), listed);
}

// Unicode-era form texts write every character beyond ASCII as a # code
// ("Fun"#231#227"o"): in a text without a single byte above 127, such
// strings convert to wide strings, never to bytes of the system code page.
TEST(CorpusRoundTrip, AsciiTextsWithLatinCodesConvertToWideStrings) {
  auto files = corpusFiles("text");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << VC_CORPUS_DIR;
  struct Strings : RenderListener {
    int wide = 0, highBytes = 0;
    void beginObject(std::string_view, std::string_view) override {}
    void endProperties() override {}
    void endObject() override {}
    void beginProperty(std::string_view) override {}
    void endProperty() override {}
    void beginList() override {}
    void endList() override {}
    void beginItem() override {}
    void endItem() override {}
    void value(const RenderedValue& v) override {
      if (v.tag == tagWString) ++wide;
      for (char c : v.bytes) highBytes += static_cast<unsigned char>(c) >= 0x80;
    }
  };
  const std::regex latinCode("#(12[89]|1[3-9][0-9]|2[0-4][0-9]|25[0-5])([^0-9]|$)");
  int checked = 0;
  for (const auto& path : files) {
    const std::string text = readFile(path);
    if (!std::regex_search(text, latinCode)) continue;
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) continue;
    SCOPED_TRACE(path.filename().string());
    std::string binary;
    ASSERT_NO_THROW(binary = toBinary(text));
    TMemoryStream in(binary), out;
    Strings strings;
    BinaryToText(in, out, &strings);
    EXPECT_EQ(strings.highBytes, 0);
    EXPECT_GT(strings.wide, 0);
    ++checked;
  }
  std::printf("text corpus: %d ASCII texts with codes 128 to 255\n", checked);
  EXPECT_GT(checked, 0);
}

TEST(CorpusRoundTrip, BinaryFilesComeBackIdenticalOrCanonical) {
  auto files = corpusFiles("binary");
  if (files.empty()) GTEST_SKIP() << "no corpus at " << VC_CORPUS_DIR;
  int identical = 0, canonical = 0;
  for (const auto& path : files) {
    std::string name = path.filename().string();
    std::string file = readFile(path);
    TMemoryStream in(file);
    std::string stream, text, back, formFile;
    try {
      ReadFormFileHeader(in);
      std::int64_t start = in.position();
      TMemoryStream out;
      BinaryToText(in, out);
      stream = file.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(in.position() - start));
      text = out.data();
      back = toBinary(text);
      TMemoryStream textIn(text), dfm;
      TextToFormFile(textIn, dfm);
      formFile = dfm.data();
    } catch (const std::exception& e) {
      ADD_FAILURE() << name << ": " << e.what();
      continue;
    }
    if (back == stream) {
      ++identical;
      // The header of a file that comes back whole comes back whole too,
      // unless the file's own header was written differently.
      std::size_t headerSize = file.size() - (file.size() - file.find("TPF0"));
      if (formFile != file.substr(0, headerSize + stream.size()))
        std::printf("  %s: stream identical, header differs\n", name.c_str());
    } else {
      ++canonical;
      EXPECT_TRUE(sameBytes(back, test::canonicalStream(stream))) << name;
    }
    EXPECT_TRUE(toText(back) == text) << name;
  }
  std::printf("binary corpus: %d of %zu identical, %d canonical re-encodings\n", identical, files.size(), canonical);
}

namespace {
const std::map<std::string, const char*>& knownDifferences() {
  static const std::map<std::string, const char*> list = {
      {"JSDAUM__MDZH__MDG300U1.dfm", kFloat18},
      {"JSDAUM__MDZH__MDN634U2_P01.dfm", kFloat18},
      {"JSDAUM__MDZH__MDO530U1_P01.dfm", kFloat18},
      {"JSDAUM__MDZH__MHE700U1_P01.dfm", kFloat18},
      {"JaehoPyo__LinglongPCR__U220.dfm", kFloat18},
      {"JaehoPyo__LinglongPCR__U540.dfm", kFloat18},
      {"LuckySpacy__Delphi-XE7-Projekte__Frame__Frame.Aktie.dfm", kHashCodes},
      {"YihShuo__ERP__Lastreturn_CL1.dfm", kFloat18},
      {"YihShuo__ERP__MatTotal_Det1.dfm", kFloat18},
      {"YihShuo__ERP__SupplierSample1.dfm", kApostrophes},
      {"baymanlive__ITEQDG_ERP__unIPQCT500_forecast.dfm", kFloat18},
      {"baymanlive__ITEQDG_ERP__unMPST010_BoilerEdit.dfm", kFloat18},
      {"baymanlive__ITEQDG_ERP__unMPST070_CalCCL.dfm", kFloat18},
      {"chengtianxu__wisdompcb__BOMBaoJiaEditFrm.dfm", kFloat18},
      {"chengtianxu__wisdompcb__OrderVerEditFrm_mod284.dfm", kPieces},
      {"chengtianxu__wisdompcb__PasLogoCard_Rp33.dfm", kFloat18},
      {"chengtianxu__wisdompcb__PasMX.dfm", kDamaged},
      {"chengtianxu__wisdompcb__ReportFrm_Mod353.dfm", kFloat18},
      {"chengtianxu__wisdompcb__ReportFrm_Mod50.dfm", kFloat18},
      {"chengtianxu__wisdompcb__UReportFrm_mod38.dfm", kFloat18},
      {"chengtianxu__wisdompcb__UReportOtheFrm.dfm", kFloat18},
      {"chengtianxu__wisdompcb__USendDetailFrm_mod38.dfm", kFloat18},
      {"chengtianxu__wisdompcb__VMILogoCard_Mod564.dfm", kFloat18},
      {"diondcm__exemplos-delphi__Fast.Exemplo2__Form.Principal.dfm", kFloat18},
      {"holynomad__icu-flowsheet__MDN110UM.dfm", kFloat18},
      {"holynomad__icu-flowsheet__MDN110UM_P01.dfm", kFloat18},
      {"holynomad__icu-flowsheet__MDN110UM_P02.dfm", kFloat18},
      {"kinwang6632__vb6__frmCD078G1U.dfm", kFloat18},
      {"liceblone__jb__UnitUserQrRptEx.dfm", kFloat18},
      {"linqiang105__weight2013__InvalidDataQuery.dfm", kFloat18},
      {"maerlyn__old-delphi-codes__Notepad__Unit2.dfm", kOwnLine},
      {"maerlyn__old-delphi-codes__Unit5.dfm", kHashCodes},
      {"osmanobr__Projetos-Delphi__UCurvaABC.dfm", kHashCodes},
      {"osmanobr__Projetos-Delphi__View.ERP.leitura_coleta.dfm", kEdited},
      {"smarthaert__uims__MainFmt.dfm", kHashCodes},
      {"sprokushev__Delphi__EdPayment.dfm", kFloat18},
      {"sprokushev__Delphi__MO_Podacha.dfm", kFloat18},
      {"sprokushev__Delphi__MO_VedOsmotr.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__cad_collaborator.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__cad_extintor.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__cad_order.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__cad_price_list.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__print_financial_bills.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__print_financial_manager.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__print_financial_payment.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__print_invoice.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__print_order_list.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__rep_order_packing_01.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__rep_order_purchase_01.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__rep_order_stock_adjust_01.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__rep_order_stock_transfer_01.dfm", kFloat18},
      {"valdosouza__Delphi-Unigui-APIs__sea_veh_maintenance.dfm", kHashCodes},
      {"valdosouza__Delphi-Unigui-APIs__tas_ext_maintenance_items.dfm", kHashCodes},
  };
  return list;
}
}  // namespace
