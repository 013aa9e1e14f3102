#include "sources/vardo/engine/vardo_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "platform/fake/fixed_clock.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tools/fixtures/dbf_writer.h"
#include "tools/samplecompany/sample_company.h"
#include "tools/samplecompany/sample_vardo_company.h"

namespace vardo_engine {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr int kYear = 2024;

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    samplecompany::VardoSampleOptions options;
    options.bookingYear = kYear;
    options.articles = 2;
    options.customers = 2;
    options.suppliers = 1;
    samplecompany::WriteSampleVardoCompany(Company(), options);
  }
  std::filesystem::path Company() const { return tree_ / "Företag" / "Bygg"; }
  void Open() {
    ASSERT_EQ(engine_.SetPath(Company().c_str()), 0);
    ASSERT_EQ(engine_.Open("Bygg"), 0);
  }
  std::string Text(std::int32_t table, const char* field) {
    char buffer[256];
    return engine_.String(engine_.Field(table, field), buffer, sizeof buffer) >= 0 ? buffer : "<failed>";
  }

  platform::fake::TempTree tree_;
  platform::fake::FixedClock clock_{{kYear, 6, 15, 12, 0, 0}};
  platform::ScopedClock useClock_{clock_};
  Engine engine_;
};

TEST(DateValues, RoundTripAndStayWithinSixteenBits) {
  EXPECT_EQ(DateValue(1900, 1, 1), 1);
  EXPECT_EQ(DateValueFromText("20240229"), DateValue(2024, 2, 29));
  const Ymd back = DateParts(static_cast<std::uint16_t>(DateValue(2024, 2, 29)));
  EXPECT_EQ(std::make_tuple(back.year, back.month, back.day), std::make_tuple(2024, 2, 29));
  EXPECT_LT(DateValue(2079, 6, 6), 0x10000);
  for (const char* bad : {"", "2023022", "20230229", "2023-1-1", "20791231", "18991231"}) {
    EXPECT_EQ(DateValueFromText(bad), 0) << bad;
  }
}

TEST_F(EngineTest, OpenResultsAndTheOneOpenDatabase) {
  EXPECT_EQ(engine_.First(vardo_table::kClient), kVardoNotOpen);
  engine_.SetPath((tree_ / "Företag").c_str());  // the folder holding the company also serves
  EXPECT_EQ(engine_.Open("Bygg"), 0);
  EXPECT_EQ(engine_.Open("bygg"), kVardoAlreadyOpen);
  char path[260];
  ASSERT_EQ(engine_.GetPath(path, sizeof path), 0);
  EXPECT_EQ(std::string(path), (tree_ / "Företag").string());
  EXPECT_EQ(engine_.GetPath(path, 4), -1);  // does not fit

  // Another path closes the open database.
  engine_.SetPath((tree_ / "Annat").c_str());
  EXPECT_EQ(engine_.First(vardo_table::kClient), kVardoNotOpen);
  EXPECT_EQ(engine_.Open("Annat"), -1);  // no such company
  EXPECT_EQ(engine_.Open(""), -1);

  tree_.Write("Företag/Bygg/db.ver", "7.0\r\n");
  engine_.SetPath(Company().c_str());
  EXPECT_EQ(engine_.Open("Bygg"), -4);  // newer than this engine reads
  tree_.Write("Företag/Bygg/vardo.dbd", "");
  EXPECT_EQ(engine_.Open("Bygg"), -3);  // an older database to be updated
}

TEST_F(EngineTest, TablesStandOnTheirFirstLiveRecordAndSkipDeletedOnes) {
  Open();
  // Right after opening, without a move.
  EXPECT_EQ(Text(vardo_table::kClient, "ORGNO"), samplecompany::kOrgNo);
  EXPECT_EQ(Text(vardo_table::kClient, "clname"), samplecompany::kVardoCompanyName);  // names without case
  EXPECT_EQ(Text(vardo_table::kPerson, "TYPE"), " 1");  // leading blanks kept, trailing removed

  std::vector<std::string> years;
  for (auto r = engine_.First(vardo_table::kAccountYear); r == 0; r = engine_.Next(vardo_table::kAccountYear)) {
    years.push_back(Text(vardo_table::kAccountYear, "YEARNO"));
  }
  EXPECT_THAT(years, ElementsAre("1", "2", "3", "4"));  // the deleted year 9 is skipped
  // Past the end the record reads blank; one step back is the last record.
  EXPECT_EQ(engine_.Next(vardo_table::kAccountYear), kVardoPositionFailed);
  EXPECT_EQ(engine_.Long(engine_.Field(vardo_table::kAccountYear, "ACCCHART")), 0);
  EXPECT_EQ(engine_.Prev(vardo_table::kAccountYear), 0);
  EXPECT_EQ(Text(vardo_table::kAccountYear, "YEARNO"), "4");
  EXPECT_EQ(engine_.Prev(vardo_table::kAccountYear), 0);
  EXPECT_EQ(engine_.Prev(vardo_table::kAccountYear), 0);
  EXPECT_EQ(engine_.Prev(vardo_table::kAccountYear), 0);
  EXPECT_EQ(engine_.Prev(vardo_table::kAccountYear), kVardoPositionFailed);  // before the first stays on it
  EXPECT_EQ(Text(vardo_table::kAccountYear, "YEARNO"), "1");
  EXPECT_EQ(engine_.Last(vardo_table::kAccountYear), 0);
  EXPECT_EQ(Text(vardo_table::kAccountYear, "YEARNO"), "4");
  EXPECT_EQ(engine_.Find(vardo_table::kText, "422"), 0);
  EXPECT_EQ(Text(vardo_table::kText, "TEXTNAME"), "Kontant");
}

TEST_F(EngineTest, TypedValuesByColumnType) {
  Open();
  const auto field = [this](std::int32_t table, const char* name) { return engine_.Field(table, name); };
  ASSERT_EQ(engine_.Find(vardo_table::kArticle, "A101"), 0);
  EXPECT_DOUBLE_EQ(engine_.Double(field(vardo_table::kArticle, "ARTPRICE0")), 125.5);
  EXPECT_EQ(engine_.Long(field(vardo_table::kArticle, "VATINCL")), 1);
  EXPECT_EQ(engine_.Bool(field(vardo_table::kArticle, "INACTIVE")), 0);
  EXPECT_EQ(Text(vardo_table::kArticle, "ARTNAME"), "Skruv rostfri 4x40");
  ASSERT_EQ(engine_.Find(vardo_table::kArticle, "A103"), 0);
  EXPECT_EQ(engine_.Bool(field(vardo_table::kArticle, "INACTIVE")), 1);
  EXPECT_EQ(engine_.Long(field(vardo_table::kPerson, "TYPE")), 1);  // " 1" as a number

  ASSERT_EQ(engine_.First(vardo_table::kLedger), 0);
  const std::int32_t date = engine_.Date(field(vardo_table::kLedger, "LEDDATE"));
  EXPECT_EQ(date, DateValue(kYear, 2, 10));
  EXPECT_EQ(engine_.Date(field(vardo_table::kLedger, "IVNO")), 0);  // not a date

  // Unknown fields, tables and handles.
  EXPECT_EQ(field(vardo_table::kClient, "NOSUCH"), 0);
  EXPECT_EQ(field(99, "ORGNO"), 0);
  char buffer[8];
  EXPECT_EQ(engine_.String(0, buffer, sizeof buffer), -1);
  EXPECT_EQ(engine_.String((99 << 16) | 1, buffer, sizeof buffer), -1);
  EXPECT_EQ(engine_.Long(0), 0);
  // A value cut to the buffer never splits a character: "Märta" needs 6 bytes.
  EXPECT_EQ(engine_.String(field(vardo_table::kClient, "CLNAME"), buffer, 3), 1);
  EXPECT_STREQ(buffer, "M");
}

TEST_F(EngineTest, BookingYearNumbers) {
  EXPECT_EQ(engine_.YearNo(0), kVardoNotOpen);
  Open();
  EXPECT_EQ(engine_.YearNo(0), 3);  // today lies in the current year
  EXPECT_EQ(engine_.YearNo(DateValue(kYear - 1, 1, 1)), 2);
  EXPECT_EQ(engine_.YearNo(DateValue(kYear - 3, 6, 1)), kNoSuchYear);  // only a deleted year covers it
}

// The damaged tables of a company read as failures, never past a buffer.
TEST_F(EngineTest, DamagedTablesAreFailures) {
  std::vector<std::string> reported;
  static std::vector<std::string>* sink;
  sink = &reported;
  engine_.SetErrorHandler([](std::int16_t code, std::int32_t detail, const char* text) {
    sink->push_back(std::to_string(code) + " " + std::to_string(detail) + " " + text);
  });
  std::string person = platform::ReadWholeFile(Company() / "PERSON.DBF").value();
  fixtures::PutU16(person, fixtures::kDbfHeaderLengthAt, 0xFFF0);  // the header claims more than the file
  tree_.Write("Företag/Bygg/PERSON.DBF", person);
  std::filesystem::remove(Company() / "TEXT.DBF");
  Open();
  EXPECT_EQ(engine_.First(vardo_table::kPerson), kVardoPositionFailed);
  EXPECT_EQ(engine_.Next(vardo_table::kPerson), kVardoPositionFailed);
  EXPECT_EQ(engine_.Field(vardo_table::kPerson, "ID"), 0);
  EXPECT_EQ(engine_.First(vardo_table::kText), kVardoPositionFailed);
  EXPECT_EQ(engine_.First(vardo_table::kArticle), 0);  // the others still read
  EXPECT_THAT(reported, ::testing::IsEmpty());

  // A damaged CLIENT.DBF is reported through the callback and the open fails.
  engine_.Close();
  tree_.Write("Företag/Bygg/CLIENT.DBF", std::string("\x03\x7c\x01\x01", 4));
  EXPECT_EQ(engine_.Open("Bygg"), -1);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_THAT(reported[0], HasSubstr("1 0 CLIENT.DBF:"));
}

// An independent reader of SIE 4 files: CP437 text, CRLF lines, "#LABEL" and
// fields separated by blanks, fields in quotes with \" and \\ escapes.
struct SieFile {
  std::vector<std::vector<std::string>> items;
  std::vector<std::string> problems;

  std::vector<std::vector<std::string>> All(const std::string& label) const {
    std::vector<std::vector<std::string>> out;
    for (const auto& item : items) {
      if (item.front() == label) out.push_back(std::vector<std::string>(item.begin() + 1, item.end()));
    }
    return out;
  }
};

SieFile ParseSie(const std::string& bytes) {
  SieFile sie;
  const std::string text = platform::DecodeToUtf8(bytes, platform::CodePage::Cp437);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      sie.problems.push_back("line without CRLF at " + std::to_string(start));
      break;
    }
    const std::string line = text.substr(start, end - start);
    start = end + 2;
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) sie.problems.push_back("bare line end");
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < line.size();) {
      if (line[i] == ' ' || line[i] == '\t') {
        ++i;
        continue;
      }
      std::string field;
      if (line[i] == '"') {
        bool closed = false;
        for (++i; i < line.size(); ++i) {
          if (line[i] == '\\' && i + 1 < line.size()) {
            field.push_back(line[++i]);
          } else if (line[i] == '"') {
            closed = true;
            ++i;
            break;
          } else {
            field.push_back(line[i]);
          }
        }
        if (!closed) sie.problems.push_back("unclosed quote: " + line);
      } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') field.push_back(line[i++]);
      }
      fields.push_back(field);
    }
    if (fields.empty() || !fields.front().starts_with('#')) {
      sie.problems.push_back("not an item: " + line);
      continue;
    }
    sie.items.push_back(fields);
  }
  return sie;
}

TEST_F(EngineTest, ExportsASie4FileOfTheYear) {
  EXPECT_EQ(engine_.ExportSie((tree_ / "x.se").c_str(), 4, 1), kVardoNotOpen);
  Open();
  const auto path = tree_ / "SIE.SE";
  const std::int32_t begin = DateValue(kYear, 1, 1);
  ASSERT_EQ(engine_.ExportSie(path.c_str(), 4, begin), 0);
  const std::string bytes = platform::ReadWholeFile(path).value();
  const SieFile sie = ParseSie(bytes);
  EXPECT_THAT(sie.problems, ::testing::IsEmpty());
  ASSERT_FALSE(sie.items.empty());
  EXPECT_THAT(sie.items.front(), ElementsAre("#FLAGGA", "0"));
  EXPECT_THAT(sie.All("#FORMAT"), ElementsAre(ElementsAre("PC8")));
  EXPECT_THAT(sie.All("#SIETYP"), ElementsAre(ElementsAre("4")));
  EXPECT_THAT(sie.All("#FNAMN"), ElementsAre(ElementsAre(samplecompany::kVardoCompanyName)));
  EXPECT_THAT(sie.All("#ORGNR"), ElementsAre(ElementsAre(samplecompany::kOrgNo)));
  EXPECT_THAT(sie.All("#GEN"), ElementsAre(ElementsAre("20240615")));
  EXPECT_THAT(sie.All("#RAR"), ElementsAre(ElementsAre("0", "20240101", "20241231"),
                                           ElementsAre("-1", "20230101", "20231231")));
  EXPECT_THAT(sie.All("#KPTYP"), ElementsAre(ElementsAre("EUBAS97")));
  std::map<std::string, std::string> accounts;
  for (const auto& account : sie.All("#KONTO")) {
    ASSERT_EQ(account.size(), 2u);
    accounts[account[0]] = account[1];
  }
  EXPECT_EQ(accounts.size(), 12u);  // the current chart only: neither chart 150 nor the deleted account
  EXPECT_EQ(accounts["3740"], "Öres- och kronutjämning");
  EXPECT_EQ(accounts.count("0100"), 0u);
  // Swedish letters travel as CP437 bytes: "ö" is 0x94.
  EXPECT_NE(bytes.find('\x94'), std::string::npos);

  EXPECT_EQ(engine_.ExportSie(path.c_str(), 4, DateValue(kYear, 2, 1)), kNoSuchYear);
  EXPECT_EQ(engine_.ExportSie((tree_ / "no" / "folder" / "SIE.SE").c_str(), 4, begin), kCannotWrite);
}

}  // namespace
}  // namespace vardo_engine
