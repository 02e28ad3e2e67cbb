#include <gtest/gtest.h>

#include "translation/ExtensionRule.h"

using namespace vc;

TEST(ExtensionRule, DecidesByThreeCharactersAfterTheLastDot) {
  struct Case {
    const char* path;
    DocumentKind kind;
  } cases[] = {
      {"/d/forms.exe", DocumentKind::Module},
      {"/d/a.dll", DocumentKind::Module},
      {"/d/a.cpl", DocumentKind::Module},
      {"/d/a.txt", DocumentKind::Text},
      {"/d/form1.dfm", DocumentKind::FormFile},
      {"/d/FORM1.DFM", DocumentKind::Refused},   // case-sensitive
      {"/d/a.Exe", DocumentKind::Refused},
      {"/d/a.dfmx", DocumentKind::FormFile},     // only three characters count
      {"/d/a.exe.bak", DocumentKind::Refused},
      {"/d/a.dfm.bak", DocumentKind::Refused},
      {"/d/noext", DocumentKind::Refused},       // no dot: the path's first three characters
      {"/d/x.txt/noext", DocumentKind::Text},    // the folder's dot decides
      {"/d/x.dfm/", DocumentKind::FormFile},
      {"/d/a.df", DocumentKind::Refused},
      {"/d/a.", DocumentKind::Refused},
      {"", DocumentKind::Refused},
      {"txtfile", DocumentKind::Text},           // a bare name without dot starting "txt"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(documentKind(c.path), c.kind);
  }
}

TEST(ExtensionRule, ModuleExtensionsAreTestedFirst) {
  EXPECT_TRUE(hasExtension("a.cpl", "cpl"));
  EXPECT_FALSE(hasExtension("a.cpl", "cp"));
  EXPECT_TRUE(hasExtension("a.cp", "cp"));
}
