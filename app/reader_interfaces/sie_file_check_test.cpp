#include "app/reader_interfaces/sie_file_check.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"
#include "platform/text.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const SieFileExpectation kCompany{"Företaget AB",
                                  "556677-8899",
                                  {"20260101", "20261231"},
                                  SieYearDates{"20250101", "20251231"},
                                  2};

// A SIE 4 file of the company as a writer would make it, in code page 437 with
// CRLF lines; `replace` swaps one line for another (or drops it when empty).
std::string SieBytes(const std::string& line = {}, const std::string& replacement = {}) {
  std::string text;
  for (const std::string& l :
       {std::string("#FLAGGA 0"), std::string("#FORMAT PC8"), std::string("#SIETYP 4"),
        std::string("#FNAMN \"Företaget AB\""), std::string("#ORGNR 556677-8899"),
        std::string("#RAR 0 20260101 20261231"), std::string("#RAR -1 20250101 20251231"),
        std::string("#KONTO 1910 \"Kassa\""), std::string("#KONTO 3010 \"Försäljning \\\"varor\\\"\"")}) {
    const std::string& written = l == line ? replacement : l;
    if (!written.empty()) text += written + "\r\n";
  }
  return platform::EncodeFromUtf8(text, platform::CodePage::Cp437);
}

std::string Mismatch(const std::string& why) {
  return "SIE-fil kunde inte skapas. Filen SIE.SE stämmer inte med företagets tabeller: " + why + ".";
}

TEST(SieFileCheck, AFileOfWhatTheCompanyHoldsPasses) {
  platform::fake::TempTree tree;
  struct Case {
    const char* name;
    std::string bytes;
    SieFileExpectation expected;
  };
  SieFileExpectation withoutYearBefore = kCompany;
  withoutYearBefore.yearBefore.reset();
  SieFileExpectation letterOutsideTheCodePage = kCompany;
  letterOutsideTheCodePage.companyName = "Företaget € AB";
  SieFileExpectation yearBeforeWithoutStart = kCompany;
  yearBeforeWithoutStart.yearBefore->start = "";
  SieFileExpectation nothingReadOfTheCompany = kCompany;
  nothingReadOfTheCompany.companyName.reset();
  nothingReadOfTheCompany.orgNr.reset();
  nothingReadOfTheCompany.accountCount.reset();
  SieFileExpectation withoutOrgNr = kCompany;
  withoutOrgNr.orgNr = "";
  const Case cases[] = {
      {"as written", SieBytes(), kCompany},
      {"LF lines", [] {
         std::string bytes = SieBytes();
         std::erase(bytes, '\r');
         return bytes;
       }(), kCompany},
      {"number without dash", SieBytes("#ORGNR 556677-8899", "#ORGNR 5566778899"), kCompany},
      {"a year before the company does not name", SieBytes("#RAR -1 20250101 20251231", "#RAR -1 20240101 20241231"),
       withoutYearBefore},
      {"no year before in the file", SieBytes("#RAR -1 20250101 20251231"), kCompany},
      {"the file's code page lacks a letter", SieBytes("#FNAMN \"Företaget AB\"", "#FNAMN \"Företaget ? AB\""),
       letterOutsideTheCodePage},
      {"company without number", SieBytes("#ORGNR 556677-8899"), withoutOrgNr},
      {"a year before whose start was not read", SieBytes(), yearBeforeWithoutStart},
      // What the converter could not read it cannot compare.
      {"name, number and chart not read", "#FLAGGA 0\r\n#RAR 0 20260101 20261231\r\n", nothingReadOfTheCompany},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = tree.Write("SIE.SE", c.bytes).string();
    std::vector<ReportRow> rows;
    EXPECT_TRUE(CheckSieFile(path, c.expected, rows));
    EXPECT_THAT(rows, IsEmpty());
  }
}

TEST(SieFileCheck, EachMismatchGivesTheRowThatSaysWhy) {
  platform::fake::TempTree tree;
  struct Case {
    std::optional<std::string> bytes;  // nullopt: no file
    std::string why;
    SieFileExpectation expected = kCompany;
  };
  SieFileExpectation withoutYearBefore = kCompany;
  withoutYearBefore.yearBefore.reset();
  const Case cases[] = {
      {SieBytes("#FNAMN \"Företaget AB\"", "#FNAMN \"\""),
       "företagsnamnet är \"\" i filen men \"Företaget AB\" i företaget"},
      {SieBytes("#FNAMN \"Företaget AB\""), "företagsnamnet är \"\" i filen men \"Företaget AB\" i företaget"},
      {SieBytes("#ORGNR 556677-8899"), "organisationsnumret är \"\" i filen men \"556677-8899\" i företaget"},
      {SieBytes("#ORGNR 556677-8899", "#ORGNR 556000-0001"),
       "organisationsnumret är \"556000-0001\" i filen men \"556677-8899\" i företaget"},
      {SieBytes("#RAR 0 20260101 20261231", "#RAR 0 20270101 20271231"),
       "räkenskapsåret är 20270101 - 20271231 i filen men 20260101 - 20261231 i företaget"},
      {SieBytes("#RAR 0 20260101 20261231"), "filen saknar räkenskapsår, företagets är 20260101 - 20261231"},
      {SieBytes("#RAR -1 20250101 20251231", "#RAR -1 00000000 20251231"),
       "föregående räkenskapsår är 00000000 - 20251231 i filen men 20250101 - 20251231 i företaget"},
      {SieBytes("#RAR -1 20250101 20251231", "#RAR -1 00000000 20261231"),
       "föregående räkenskapsår är 00000000 - 20261231 i filen, vilket inte är datum", withoutYearBefore},
      {SieBytes("#KONTO 1910 \"Kassa\""), "filen har 1 konton men kontoplanen 2"},
      {SieBytes("#KONTO 3010 \"Försäljning \\\"varor\\\"\"", "#KONTO 3010 \"Försäljning\"\r\n#KONTO 3011 \"Mer\""),
       "filen har 3 konton men kontoplanen 2"},
      {std::nullopt, "filen kan inte läsas"},
      {"", "filen är ingen SIE-fil"},
      {"Företaget AB\r\n", "filen är ingen SIE-fil"},
      // A kit that could read none of the company's tables: every difference is told.
      {"#FLAGGA 0\r\n#FNAMN \"\"\r\n#RAR 0 20260101 20261231\r\n",
       "företagsnamnet är \"\" i filen men \"Företaget AB\" i företaget; organisationsnumret är \"\" i filen men "
       "\"556677-8899\" i företaget; filen har 0 konton men kontoplanen 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const auto path = (tree / "SIE.SE").string();
    std::filesystem::remove(path);
    if (c.bytes) tree.Write("SIE.SE", *c.bytes);
    std::vector<ReportRow> rows;
    EXPECT_FALSE(CheckSieFile(path, c.expected, rows));
    EXPECT_THAT(rows, ElementsAre(ReportRow{"", "SIE", "Error", "Fel:", Mismatch(c.why)}));
  }
}

}  // namespace
