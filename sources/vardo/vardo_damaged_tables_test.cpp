// The sample Vardo company with one table damaged as a user's copy may be:
// every kind a reader gives is walked as the upload job walks it, and every
// kind that reads the table, or that arrives other than from the whole
// company, says so in a row about the whole kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <type_traits>

#include "platform/fake/held_lock.h"
#include "platform/files.h"
#include "sources/admin/testing/reader_walk.h"
#include "sources/vardo/vardo_readers.h"
#include "sources/vardo/vardo_test_support.h"
#include "tools/fixtures/dbf_writer.h"

namespace {

using namespace reader_walk;
namespace fs = std::filesystem;

// What one kind gave: the records it let through (printed) and its rows.
struct KindOutcome {
  std::vector<std::string> records;
  std::vector<ReportRow> rows;
};

template <class Walked>
KindOutcome Outcome(const Walked& walked) {
  KindOutcome outcome{{}, walked.rows};
  for (const auto& record : walked.records) outcome.records.push_back(::testing::PrintToString(record));
  return outcome;
}

template <class Reader, class... Args>
KindOutcome WalkKind(const Args&... args) {
  Reader reader(args...);
  if constexpr (std::is_base_of_v<I_QZ_Company, Reader>) {
    return Outcome(WalkCompany(reader));
  } else {
    return Outcome(Walk(reader));
  }
}

std::map<std::string, KindOutcome> WalkEveryKind(const std::string& company) {
  std::map<std::string, KindOutcome> kinds;
  kinds["settings"] = WalkKind<CVardoCompanySettings>(company);
  kinds["articles"] = WalkKind<CVardoArticleDb>(company, std::string());
  kinds["customers"] = WalkKind<CVardoCustomerDb>(company);
  kinds["suppliers"] = WalkKind<CVardoSupplierDb>(company);
  kinds["terms"] = WalkKind<CVardoDeliveryTermsDb>(company);
  kinds["methods"] = WalkKind<CVardoDeliveryMethodsDb>(company);
  kinds["customer invoices"] = WalkKind<CVardoCustomerLedgerItems>(company);
  kinds["supplier invoices"] = WalkKind<CVardoSupplierLedgerItems>(company);
  CVardoSie sie(company);
  KindOutcome& outcome = kinds["sie"];
  outcome.rows = sie.CreateSieFiles();
  for (const std::string& path : {sie.GetFilePath(), sie.GetFilePathPreviousYear()}) {
    if (!path.empty()) outcome.records.push_back(platform::ReadWholeFile(path).value_or("<unreadable>"));
  }
  return kinds;
}

// The kinds that read each table.
const std::map<std::string, std::vector<std::string>> kReadBy = {
    {"CLIENT.DBF", {"settings", "sie"}},
    {"SERIES.DBF", {"settings"}},
    {"PERSON.DBF", {"customers", "suppliers", "customer invoices", "supplier invoices"}},
    {"ARTICLE.DBF", {"articles"}},
    {"TEXT.DBF", {"articles", "customers", "suppliers", "terms", "methods"}},
    {"ACCOUNT.DBF", {"articles", "sie"}},
    {"HISTORY.DBF", {"customers"}},
    {"PERSSETTINGS.DBF", {"customers"}},
    {"LEDGER.DBF", {"customer invoices", "supplier invoices"}},
    {"INVOICE.DBF", {"customer invoices", "supplier invoices"}},
    {"ACCYEAR.DBF", {"sie"}},
};

// A row about the whole kind that names the table, or the company's database that did not open.
bool SaysSo(const std::vector<ReportRow>& rows, const std::string& file) {
  return std::any_of(rows.begin(), rows.end(), [&](const ReportRow& row) {
    const bool aboutKind = row.kind == "Error" && (report::IsAboutWholeKind(row) || row.name == "SIE");
    return aboutKind && (row.text.find("Filen " + file + " kan inte läsas helt: ") != std::string::npos ||
                         row.text.find("Företagets databas kunde inte öppnas") != std::string::npos);
  });
}

std::size_t U16At(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

TEST(VardoDamagedTables, EveryKindThatLosesSaysSo) {
  vardo_test::VardoInstall install;
  platform::fake::ScopedEnv temp("TMPDIR", install.Tree().MakeFolder("tmp").string());
  const std::string company = install.AddSampleCompany();
  const auto whole = WalkEveryKind(company);
  for (const auto& [kind, outcome] : whole) {
    ASSERT_FALSE(outcome.records.empty()) << kind;
    ASSERT_FALSE(SaysSo(outcome.rows, "")) << kind;
  }

  std::string noise(3000, '\0');
  std::mt19937 random(29);
  for (char& c : noise) c = static_cast<char>(random());
  const struct {
    const char* name;
    std::function<void(const fs::path&, const std::string&)> damage;
  } damages[] = {
      {"cut in a record",
       [](const fs::path& file, const std::string& bytes) {
         const std::size_t header = U16At(bytes, fixtures::kDbfHeaderLengthAt);
         const std::size_t record = U16At(bytes, fixtures::kDbfRecordLengthAt);
         const std::size_t records = (bytes.size() - header) / record;
         std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes.substr(0, header + records / 2 * record + 5);
       }},
      {"zero length", [](const fs::path& file, const std::string&) { std::ofstream(file, std::ios::trunc); }},
      {"random bytes", [&](const fs::path& file, const std::string&) { std::ofstream(file, std::ios::binary) << noise; }},
      {"removed", [](const fs::path& file, const std::string&) { fs::remove(file); }},
      {"a folder in its place",
       [](const fs::path& file, const std::string&) {
         fs::remove(file);
         fs::create_directory(file);
       }},
      {"held locked", [](const fs::path&, const std::string&) {}},
  };
  for (const auto& [file, readers] : kReadBy) {
    for (const auto& damage : damages) {
      SCOPED_TRACE(file + ", " + damage.name);
      fs::remove_all(company);
      install.AddSampleCompany();
      const fs::path path = fs::path(company) / file;
      damage.damage(path, platform::ReadWholeFile(path).value());
      std::optional<platform::fake::HeldWriteLock> lock;
      if (std::string(damage.name) == "held locked") lock.emplace(path);

      for (const auto& [kind, outcome] : WalkEveryKind(company)) {
        SCOPED_TRACE(kind);
        const bool reads = std::find(readers.begin(), readers.end(), kind) != readers.end();
        if (reads || outcome.records != whole.at(kind).records) {
          EXPECT_TRUE(SaysSo(outcome.rows, file)) << ::testing::PrintToString(outcome.rows);
        }
      }
    }
  }
}

}  // namespace

namespace {

// A look-up table a reader joins to its own says, in the reader's section, what
// its loss costs that kind, once per table however many look-ups read it.
TEST(VardoDamagedTables, ALookUpTableSaysWhatItCosts) {
  vardo_test::VardoInstall install;
  platform::fake::ScopedEnv temp("TMPDIR", install.Tree().MakeFolder("tmp").string());
  const std::string company = install.AddSampleCompany();
  const auto kindRows = [](const KindOutcome& outcome) {
    std::vector<std::string> texts;
    for (const ReportRow& row : outcome.rows)
      if (report::IsAboutWholeKind(row)) texts.push_back(row.text);
    return texts;
  };
  const std::string lost = " kan inte läsas helt: the file does not exist";
  const struct {
    const char* file;
    std::map<std::string, std::string> costs;  // by kind: what follows the loss
  } cases[] = {
      {"TEXT.DBF",
       {{"articles", "; enheter saknas."},
        {"customers", "; betalningsvillkor saknas; leveranssätt saknas; leveransvillkor saknas."},
        {"suppliers", "; betalningsvillkor saknas."},
        {"terms", ""},  // its own table
        {"methods", ""}}},
      {"ACCOUNT.DBF", {{"articles", "; kontonamn saknas."}}},
      {"HISTORY.DBF", {{"customers", "; anteckningar saknas."}}},
      {"PERSSETTINGS.DBF", {{"customers", "; elektroniska referenser saknas."}}},
      {"INVOICE.DBF", {{"customer invoices", "; fakturadatum saknas."}, {"supplier invoices", "; fakturadatum saknas."}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    fs::remove_all(company);
    install.AddSampleCompany();
    fs::remove(fs::path(company) / c.file);
    const auto kinds = WalkEveryKind(company);
    for (const auto& [kind, cost] : c.costs) {
      SCOPED_TRACE(kind);
      EXPECT_EQ(kindRows(kinds.at(kind)), std::vector<std::string>{"Filen " + std::string(c.file) + lost + cost});
    }
  }

  // The open invoices of customers that could not be read are refused one by one; the row says why.
  fs::remove_all(company);
  install.AddSampleCompany();
  fs::remove(fs::path(company) / "PERSON.DBF");
  const auto kinds = WalkEveryKind(company);
  EXPECT_EQ(kindRows(kinds.at("customer invoices")),
            std::vector<std::string>{"Filen PERSON.DBF" + lost + "; fakturornas kunder saknas."});
  EXPECT_EQ(kindRows(kinds.at("supplier invoices")),
            std::vector<std::string>{"Filen PERSON.DBF" + lost + "; fakturornas leverantörer saknas."});
}

}  // namespace

namespace {

// A database that opened for the reader but no longer does when its walk opens it
// again (another program took CLIENT.DBF in the meantime) is said, never thrown at the walk.
TEST(VardoDamagedTables, ADatabaseThatNoLongerOpensIsSaidByTheWalk) {
  vardo_test::VardoInstall install;
  const std::string company = install.AddSampleCompany();
  CVardoCustomerDb customers(company);
  CVardoCompanyDb(company, "TEXT.DBF");  // made and gone: the database is closed again
  platform::fake::HeldWriteLock lock(fs::path(company) / "CLIENT.DBF");
  bool more = true;
  EXPECT_NO_THROW(more = customers.MoveFirst());
  EXPECT_FALSE(more);
  std::vector<ReportRow> rows;
  customers.AddWarnings(rows);
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front().text, "Filen CLIENT.DBF kan inte läsas helt: another program holds the file locked");
}

}  // namespace
