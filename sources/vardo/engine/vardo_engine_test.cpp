#include "sources/vardo/engine/vardo_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <utility>

#include "platform/fake/fixed_clock.h"
#include "platform/fake/held_lock.h"
#include "platform/fake/memory_files.h"
#include "platform/fake/scoped_environment.h"
#include "platform/files.h"
#include "platform/text.h"
#include "tools/fixtures/dbf_value.h"
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

// What the engine says through the error callback, one line each: "code detail text".
class ReportedErrors {
 public:
  explicit ReportedErrors(Engine& engine) {
    sink_ = &lines_;
    engine.SetErrorHandler([](std::int16_t code, std::int32_t detail, const char* text) {
      sink_->push_back(std::to_string(code) + " " + std::to_string(detail) + " " + text);
    });
  }
  // The lines reported since the last call.
  std::vector<std::string> Take() { return std::exchange(lines_, {}); }

 private:
  static inline std::vector<std::string>* sink_ = nullptr;
  std::vector<std::string> lines_;
};

std::size_t U16At(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

// A damaged table is told apart from the end of a table: the first move of a
// walk reports what keeps it from being read whole, through the error callback
// with the table id, and still reads what can be read; the end of the table is
// reported by nothing.
TEST_F(EngineTest, DamagedTablesAreFailures) {
  ReportedErrors reported(engine_);
  const std::filesystem::path file = Company() / "PERSON.DBF";
  const std::string whole = platform::ReadWholeFile(file).value();
  const std::size_t header = U16At(whole, fixtures::kDbfHeaderLengthAt);
  const std::size_t record = U16At(whole, fixtures::kDbfRecordLengthAt);
  const int records = 11;  // live persons of the sample with two customers and one supplier
  std::string noise(3000, '\0');
  std::mt19937 random(27);
  for (char& c : noise) c = static_cast<char>(random());
  std::string headerPastTheFile = whole;
  fixtures::PutU16(headerPastTheFile, fixtures::kDbfHeaderLengthAt, 0xFFF0);

  const struct {
    const char* name;
    std::function<void()> damage;
    const char* report;  // the start of what the first move reports; empty: nothing
    int readable;        // live records the walk reads; -1: whatever the noise leaves
  } cases[] = {
      {"whole", [] {}, "", records},
      {"cut in a record", [&] { tree_.Write("Företag/Bygg/PERSON.DBF", whole.substr(0, header + 3 * record + 7)); },
       "1 9 the last record is cut short (7 of", 3},
      {"zero length", [&] { tree_.Write("Företag/Bygg/PERSON.DBF", ""); },
       "1 9 the file is shorter than the 32-byte header", 0},
      {"random bytes", [&] { tree_.Write("Företag/Bygg/PERSON.DBF", noise); }, "1 9 ", -1},
      {"header past the file", [&] { tree_.Write("Företag/Bygg/PERSON.DBF", headerPastTheFile); },
       "1 9 the field descriptors are cut short", 0},
      {"removed", [&] { std::filesystem::remove(file); }, "2 9 the file does not exist", 0},
      {"a folder in its place",
       [&] {
         std::filesystem::remove(file);
         std::filesystem::create_directory(file);
       },
       "1 9 cannot open the file: not a regular file", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(file);
    tree_.Write("Företag/Bygg/PERSON.DBF", whole);
    c.damage();
    Open();
    int read = 0;
    for (auto r = engine_.First(vardo_table::kPerson); r == 0; r = engine_.Next(vardo_table::kPerson)) ++read;
    const auto lines = reported.Take();
    if (*c.report == '\0') {
      EXPECT_THAT(lines, ::testing::IsEmpty());
    } else {
      ASSERT_EQ(lines.size(), 1u);  // once for the walk, never once per record
      EXPECT_THAT(lines[0], ::testing::StartsWith(c.report));
    }
    if (c.readable >= 0) EXPECT_EQ(read, c.readable);
    EXPECT_EQ(engine_.Next(vardo_table::kPerson), kVardoPositionFailed);  // the end, said by nothing
    EXPECT_THAT(reported.Take(), ::testing::IsEmpty());
    EXPECT_EQ(engine_.First(vardo_table::kArticle), 0);  // the others still read
    engine_.Close();
  }

  // Another program holding the table locked: said once per walk, nothing read, no wait.
  std::filesystem::remove_all(file);
  tree_.Write("Företag/Bygg/PERSON.DBF", whole);
  {
    platform::fake::HeldWriteLock lock(file);
    Open();
    EXPECT_EQ(engine_.First(vardo_table::kPerson), kVardoPositionFailed);
    EXPECT_EQ(engine_.Field(vardo_table::kPerson, "ID"), 0);
    EXPECT_THAT(reported.Take(), ElementsAre("4 9 another program holds the file locked"));
    engine_.Close();
  }

  // A damaged CLIENT.DBF is reported through the callback and the open fails.
  tree_.Write("Företag/Bygg/CLIENT.DBF", std::string("\x03\x7c\x01\x01", 4));
  EXPECT_EQ(engine_.Open("Bygg"), -1);
  EXPECT_THAT(reported.Take(), ElementsAre(::testing::StartsWith("1 0 the file is shorter than the 32-byte header")));
  // So is one that is gone; a folder that is not there is only a wrong path.
  std::filesystem::remove(Company() / "CLIENT.DBF");
  EXPECT_EQ(engine_.Open("Bygg"), -1);
  EXPECT_THAT(reported.Take(), ElementsAre("2 0 the file does not exist"));
  engine_.SetPath((tree_ / "Annat").c_str());
  EXPECT_EQ(engine_.Open("Annat"), -1);
  EXPECT_THAT(reported.Take(), ElementsAre());
}

// A value that does not read as its field's type is reported with the field's
// handle and reads blank, whichever function reads it; never its leading number.
TEST_F(EngineTest, ValuesThatDoNotReadAsTheirTypeAreReported) {
  ReportedErrors reported(engine_);
  const struct {
    char type;  // the column that holds the value: N, D, L or C
    const char* stored;
    bool damaged;
    double value;  // as FieldValueDouble (Date for D) reads it
  } cases[] = {
      {'N', "--3", true, 0},       {'N', "x.5", true, 0},     {'N', "12abc", true, 0},  {'N', "1e99", true, 0},
      {'N', "1.2.3", true, 0},     {'N', "-", true, 0},       {'N', "-12.50", false, -12.5},
      {'N', "+7", false, 7},       {'N', "", false, 0},       {'D', "20230229", true, 0},
      {'D', "2024AB01", true, 0},  {'D', "00000000", false, 0}, {'D', "", false, 0},
      {'D', "20240229", false, DateValue(2024, 2, 29)},     {'L', "X", true, 0},      {'L', "1", true, 0},
      {'L', "?", false, 0},        {'L', "t", false, 1},      {'C', "x.5", false, 0},
  };
  fixtures::DbfWriter texts(fixtures::DbfFormat::DBase3,
                            {{"N", 'N', 10, 2}, {"D", 'D', 8}, {"L", 'L', 1}, {"C", 'C', 10}});
  for (const auto& c : cases) {
    std::vector<std::string> record(4);
    record[std::string("NDLC").find(c.type)] = c.stored;
    texts.Add(record);
  }
  texts.WriteTo(Company() / "TEXT.DBF");
  Open();
  ASSERT_EQ(engine_.First(vardo_table::kText), 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, c.type) + " \"" + c.stored + "\"");
    const std::int32_t handle = engine_.Field(vardo_table::kText, std::string(1, c.type).c_str());
    const double read = c.type == 'D' ? engine_.Date(handle) : engine_.Double(handle);
    EXPECT_EQ(read, c.value);
    EXPECT_EQ(Text(vardo_table::kText, std::string(1, c.type).c_str()), c.stored);  // the text as stored
    const std::string said = "5 " + std::to_string(handle) + " " + c.stored;
    const std::vector<std::string> expected = c.damaged ? std::vector<std::string>(2, said) : std::vector<std::string>();
    EXPECT_EQ(reported.Take(), expected);
    engine_.Next(vardo_table::kText);
  }
}

// A booking year or an account that cannot be read gives no year number and
// no file, and says which record and field: no other year is taken for the
// current one, and no file goes without an account of its chart.
TEST_F(EngineTest, UnreadableYearsAndAccountsGiveNoFile) {
  ReportedErrors reported(engine_);
  const std::filesystem::path years = Company() / "ACCYEAR.DBF";
  const std::filesystem::path accounts = Company() / "ACCOUNT.DBF";
  const std::string wholeYears = platform::ReadWholeFile(years).value();
  const std::string wholeAccounts = platform::ReadWholeFile(accounts).value();
  const struct {
    std::filesystem::path file;
    std::vector<std::pair<std::string, std::string>> match;
    const char* field;
    const char* value;
    const char* report;
  } cases[] = {
      {years, {{"YEARNO", "3"}}, "BEGIN", "2024O101", "1 16 record 4: BEGIN holds \"2024O101\""},
      {years, {{"YEARNO", "2"}}, "END", "20231331", "1 16 record 3: END holds \"20231331\""},
      {years, {{"YEARNO", "1"}}, "ACCCHART", "2S0", "1 16 record 1: ACCCHART holds \"2S0\""},
      {accounts, {{"ACCNO", "1510"}}, "ACCCHART", "x", "1 1 record "},
      {accounts, {{"ACCNO", "1930"}}, "ACCCHART", "", "1 1 record "},
      {accounts, {{"ACCNO", "3001"}}, "ACCNO", "", "1 1 record "},
  };
  const auto path = tree_ / "SIE.SE";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " \"" + c.value + "\"");
    tree_.Write("Företag/Bygg/ACCYEAR.DBF", wholeYears);
    tree_.Write("Företag/Bygg/ACCOUNT.DBF", wholeAccounts);
    fixtures::ChangeDbfValue(c.file, c.match, c.field, c.value);
    Open();
    if (c.file == years) {
      EXPECT_EQ(engine_.YearNo(0), kNoSuchYear);
      EXPECT_THAT(reported.Take(), ElementsAre(c.report));
    }
    EXPECT_EQ(engine_.ExportSie(path.c_str(), 4, DateValue(kYear, 1, 1)), kCannotWrite);
    EXPECT_FALSE(std::filesystem::exists(path));
    const auto lines = reported.Take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], ::testing::StartsWith(c.report));
    EXPECT_THAT(lines[0], HasSubstr(std::string(c.field) + " holds \"" + c.value + "\""));
    engine_.Close();
  }
  // An account of another chart with no number is no account of this year's file.
  tree_.Write("Företag/Bygg/ACCOUNT.DBF", wholeAccounts);
  fixtures::ChangeDbfValue(accounts, {{"ACCNO", "1910"}}, "ACCNO", "");
  Open();
  EXPECT_EQ(engine_.ExportSie(path.c_str(), 4, DateValue(kYear, 1, 1)), 0);
  EXPECT_THAT(reported.Take(), ElementsAre());
}

// A record that cannot be read (a bad sector) is reported by the move that
// meets it, which stands on it blank; the next move goes on past it.
TEST_F(EngineTest, ARecordThatCannotBeReadIsNoEnd) {
  ReportedErrors reported(engine_);
  platform::fake::MemoryFileOpener files;
  for (const auto& entry : std::filesystem::directory_iterator(Company())) {
    files.Add(entry.path().string(), platform::ReadWholeFile(entry.path()).value());
  }
  const std::filesystem::path file = Company() / "ARTICLE.DBF";
  const std::string articles = platform::ReadWholeFile(file).value();
  const std::size_t header = U16At(articles, fixtures::kDbfHeaderLengthAt);
  const std::size_t record = U16At(articles, fixtures::kDbfRecordLengthAt);
  const std::size_t count = (articles.size() - header) / record;
  files.Add(file.string(), articles, header + 2 * record + 1);  // the third record on cannot be read
  platform::ScopedFileOpener useFiles(files);
  Open();

  std::vector<std::string> numbers;
  std::vector<std::int32_t> results;
  for (auto r = engine_.First(vardo_table::kArticle); results.size() < 20; r = engine_.Next(vardo_table::kArticle)) {
    results.push_back(r);
    if (r == 0) numbers.push_back(Text(vardo_table::kArticle, "ARTNO"));
    if (r == kVardoPositionFailed && reported.Take().empty()) break;  // the end
    EXPECT_EQ(Text(vardo_table::kArticle, "ARTNO"), r == 0 ? numbers.back() : "");
  }
  EXPECT_THAT(numbers, ElementsAre("A100", "A101"));
  EXPECT_EQ(results.size(), count + 1);  // two records read, every other one reported, then the end
  engine_.Close();  // its files are the opener's, which goes first
}

// A record whose deletion flag is neither blank nor "*" is damaged: no move
// stands on it, each that meets it says so as of a record that cannot be read,
// and the SIE export writes no file from a table that holds one.
TEST_F(EngineTest, ADamagedRecordIsOneThatCannotBeRead) {
  const auto damageFirstRecord = [this](const char* table, char flag) {
    const std::filesystem::path file = Company() / table;
    std::string bytes = platform::ReadWholeFile(file).value();
    bytes[U16At(bytes, fixtures::kDbfHeaderLengthAt)] = flag;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  };
  for (const char flag : {'X', '\0'}) {
    SCOPED_TRACE(static_cast<int>(flag));
    SetUp();
    damageFirstRecord("ARTICLE.DBF", flag);
    damageFirstRecord("ACCOUNT.DBF", flag);
    ReportedErrors reported(engine_);
    Open();
    const std::string unreadable = std::to_string(vardo_error::kUnreadableRecord) + " " +
                                   std::to_string(vardo_table::kArticle) + " record 1 cannot be read";
    EXPECT_EQ(engine_.First(vardo_table::kArticle), kVardoPositionFailed);
    EXPECT_THAT(reported.Take(), ElementsAre(unreadable));
    EXPECT_EQ(Text(vardo_table::kArticle, "ARTNO"), "");
    EXPECT_EQ(engine_.Next(vardo_table::kArticle), 0);
    EXPECT_EQ(Text(vardo_table::kArticle, "ARTNO"), "A101");
    EXPECT_EQ(engine_.Prev(vardo_table::kArticle), kVardoPositionFailed);  // never back onto it
    EXPECT_EQ(Text(vardo_table::kArticle, "ARTNO"), "A101");
    EXPECT_THAT(reported.Take(), ::testing::IsEmpty());

    EXPECT_EQ(engine_.ExportSie((tree_ / "SIE.SE").c_str(), 4, DateValue(kYear, 1, 1)), kCannotWrite);
    EXPECT_THAT(reported.Take(), ElementsAre(std::to_string(vardo_error::kUnreadableRecord) + " " +
                                             std::to_string(vardo_table::kAccount) + " record 1 cannot be read"));
    engine_.Close();
  }
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

  // No file from a table that cannot be read whole: it would lack accounts.
  ReportedErrors reported(engine_);
  engine_.Close();
  const std::string accountFile = platform::ReadWholeFile(Company() / "ACCOUNT.DBF").value();
  tree_.Write("Företag/Bygg/ACCOUNT.DBF", accountFile.substr(0, accountFile.size() - 40));
  Open();
  const auto cut = tree_ / "CUT.SE";
  EXPECT_EQ(engine_.ExportSie(cut.c_str(), 4, begin), kCannotWrite);
  EXPECT_FALSE(std::filesystem::exists(cut));
  EXPECT_THAT(reported.Take(), ElementsAre(::testing::StartsWith("1 1 the last record is cut short")));
}

}  // namespace
}  // namespace vardo_engine
