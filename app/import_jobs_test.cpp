#include "app/import_jobs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

#include "app/engine_test_support.h"
#include "app/reader_interfaces/fake/fake_readers.h"
#include "klcr/service.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using namespace KLCR_MolnixMigration;
using engine_test::Article;
using engine_test::Customer;
using engine_test::RecordingProgress;
using engine_test::Supplier;
using ::testing::ElementsAre;

// The readers are deleted through their interface and the upload jobs through their base.
static_assert(std::has_virtual_destructor_v<I_QZ_Base>);
static_assert(std::has_virtual_destructor_v<CMlxImportBase>);

// What a register's check and upload did with `records` records.
struct RegisterOutcome {
  std::size_t held = 0;     // records in the upload object
  std::size_t unread = 0;   // records the walk never reached
  int result = -1;          // of the upload
  std::size_t arrived = 0;  // records of the kind the cloud holds afterwards
  bool closed = false;      // AddWarnings and Close followed the walk
};

// The registers at their maximum and above it, checked and sent to the cloud stand-in.
class RegisterLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    KLCRUsesUserData login;
    login.SetUsername("anna@example.se");
    ASSERT_TRUE(login.SetPassword("hemligt", false));
    CGetToken request;
    request.SetUsername("anna@example.se");
    request.SetCustomerId("c-1001");
    ASSERT_EQ(request.Call(), 0);
    token_ = request.GetToken();
  }
  void TearDown() override {
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:9");
    klcr::detail::ForgetRunState();
  }

  template <class Import, class Fake, class MakeRecord>
  RegisterOutcome Run(const char* kind, int records, MakeRecord makeRecord) {
    Fake reader;
    for (int i = 0; i < records; ++i) reader.records.push_back(makeRecord(std::to_string(i + 1)));
    Import job(token_, &reader);
    job.Check(nullptr);
    const auto walk = reader.Walk();
    RegisterOutcome outcome;
    outcome.held = job.GetCount();
    outcome.unread = reader.records.size() - reader.CallCount("CheckCurrent");
    outcome.closed = walk.size() >= 2 && walk[walk.size() - 2] == "AddWarnings" && walk.back() == "Close";
    outcome.result = job.Upload();
    const auto pending = cloud_.State()["companies"]["c-1001"]["pending"];
    outcome.arrived = pending.is_object() && pending.contains(kind) ? pending[kind].size() : 0;
    CDiscard discard;  // the next run starts from an empty cloud company
    discard.SetApiToken(token_);
    discard.Call();
    return outcome;
  }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  std::string token_;
};

TEST_F(RegisterLimits, AFullRegisterIsSentAndOneRecordMoreStopsTheWalkAndSendsNothing) {
  struct Case {
    const char* kind;
    std::size_t max;
    std::function<RegisterOutcome(int)> run;
  };
  const Case cases[] = {
      {"articles", 50000,
       [&](int n) { return Run<CMlxImportArticles, fake::FakeArticles>("articles", n, [](auto k) { return Article(k); }); }},
      {"customers", 20000, [&](int n) { return Run<CMlxImportCustomers, fake::FakeCustomers>("customers", n, Customer); }},
      {"suppliers", 20000, [&](int n) { return Run<CMlxImportSuppliers, fake::FakeSuppliers>("suppliers", n, Supplier); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const auto full = c.run(static_cast<int>(c.max));
    EXPECT_EQ(full.held, c.max);
    EXPECT_EQ(full.unread, 0u);
    EXPECT_EQ(full.result, 0);
    EXPECT_EQ(full.arrived, c.max);
    EXPECT_TRUE(full.closed);

    const auto oneMore = c.run(static_cast<int>(c.max) + 1);
    EXPECT_EQ(oneMore.held, c.max + 1);
    EXPECT_EQ(oneMore.unread, 0u);
    EXPECT_EQ(oneMore.result, 0);
    EXPECT_EQ(oneMore.arrived, 0u);

    const auto more = c.run(static_cast<int>(c.max) + 3);  // the walk stops, it does not cut
    EXPECT_EQ(more.held, c.max + 1);
    EXPECT_EQ(more.unread, 2u);
    EXPECT_EQ(more.result, 0);
    EXPECT_EQ(more.arrived, 0u);
    EXPECT_TRUE(more.closed);
  }
}

TEST(RegisterProgress, ShowsEvery250CountedRecordsAndAtTheEnd) {
  fake::FakeCustomers reader;
  for (int i = 1; i <= 501; ++i) reader.records.push_back(Customer(std::to_string(i)));
  reader.DoNotCount(0);  // the first record does not count, so the walk shows 0 right after it
  CMlxImportCustomers job("token", &reader);
  RecordingProgress progress;
  job.Check(&progress);
  EXPECT_THAT(progress.texts, ElementsAre("0 kunder kontrollerade.", "250 kunder kontrollerade.",
                                          "500 kunder kontrollerade.", "500 kunder kontrollerade."));
}

TEST(RegisterProgress, EachRegisterHasItsTextAndAnEmptyWalkShowsZero) {
  RecordingProgress progress;
  fake::FakeArticles articles;
  CMlxImportArticles(" ", &articles).Check(&progress);
  fake::FakeSuppliers suppliers;
  suppliers.records = {Supplier("1")};
  CMlxImportSuppliers(" ", &suppliers).Check(&progress);
  fake::FakeDeliveryTerms terms;  // no count, no progress
  terms.records = {{.code = "FVL", .name = "Fritt vårt lager"}};
  CMlxImportDeliveryTerms(" ", &terms).Check(&progress);
  EXPECT_THAT(progress.texts, ElementsAre("0 artiklar kontrollerade.", "1 leverantörer kontrollerade."));
}

TEST(RecordWalk, AnEmptyReaderGetsOnlyMoveFirstAddWarningsAndClose) {
  fake::FakeDeliveryMethods reader;
  reader.warnings = {{"", "", "Misc", "Varning:", "Inga leveranssätt."}};
  CMlxImportDeliveryMethods job("token", &reader);
  const auto rows = job.Check(nullptr);
  EXPECT_THAT(reader.calls, ElementsAre("MoveFirst", "AddWarnings", "Close"));
  EXPECT_EQ(rows, reader.warnings);
  EXPECT_EQ(job.Upload(), 0);  // nothing held, nothing sent
}

TEST(RecordWalk, ARecordTheReaderRejectsIsNeverReadAndRowsStandInTheOrderTheyArose) {
  fake::FakeArticles reader;
  reader.records = {Article("1"), Article("2"), Article("3", "")};
  const ReportRow notMoved{"2", "", "Error", "Fel:", "Artikeln är spärrad."};
  reader.Reject(1, notMoved);
  reader.warnings = {{"", "", "Misc", "Varning:", "Det finns ingen prislista i SEK så inga priser kommer att överföras."}};
  CMlxImportArticles job("token", &reader);
  const auto rows = job.Check(nullptr);

  EXPECT_EQ(job.GetCount(), 1u);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], notMoved);
  EXPECT_EQ(rows[1].key, "3");  // the refusal of record 3 follows
  EXPECT_EQ(rows[3], reader.warnings[0]);
  // Record 2 got IsCurrentCounted and CheckCurrent, then the walk moved on.
  const auto walk = reader.Walk();
  EXPECT_THAT(std::vector<std::string>(walk.begin() + 4, walk.begin() + 7),
              ElementsAre("IsCurrentCounted", "CheckCurrent", "MoveNext"));
  // Record 3's refusal reads its key, then its name and, as the cloud missed a field, the account code: once each.
  EXPECT_THAT(std::vector<std::string>(reader.calls.end() - 7, reader.calls.end()),
              ElementsAre("GetRotRutType", "GetNumber", "GetName", "GetArticleAccountCode", "MoveNext",
                          "AddWarnings", "Close"));
}

TEST(Refusals, GiveErrorRowsWithTheRecordsKeyAndName) {
  fake::FakeArticles articles;
  articles.records = {Article("A1", ""), [] { auto r = Article("A2"); r.name = ""; return r; }(), Article("A3")};
  CMlxImportArticles articleJob("token", &articles);
  EXPECT_THAT(articleJob.Check(nullptr),
              ElementsAre(ReportRow{"A1", "Artikel A1", "Error", "Fel:", "Obligatoriska uppgifter saknas."},
                          ReportRow{"A1", "", "Info", "", "Konteringskod saknas."},
                          ReportRow{"A2", "", "Error", "Fel:", "Benämning saknas."}));
  EXPECT_EQ(articleJob.GetCount(), 1u);  // a refused record never stays: A3 after two refusals is taken alone

  fake::FakeCustomers customers;
  customers.records = {[] { auto r = Customer("K1"); r.invoiceCity = ""; return r; }()};
  CMlxImportCustomers customerJob("token", &customers);
  EXPECT_THAT(customerJob.Check(nullptr), ElementsAre(ReportRow{"K1", "Kund K1", "Error", "Fel:", "Ort saknas."}));

  fake::FakeSuppliers suppliers;
  suppliers.records = {Supplier("L1"), Supplier("L1")};
  CMlxImportSuppliers supplierJob("token", &suppliers);
  EXPECT_THAT(supplierJob.Check(nullptr),
              ElementsAre(ReportRow{"L1", "Leverantör L1", "Error", "Fel:", "Numret finns redan på en annan post."}));

  // A record with neither key nor name is still named, so its row counts as its refusal.
  fake::FakeDeliveryTerms terms;
  terms.records = {{.code = "FVL"}, {}};
  CMlxImportDeliveryTerms termJob("token", &terms);
  EXPECT_THAT(termJob.Check(nullptr), ElementsAre(ReportRow{"FVL", "", "Error", "Fel:", "Namn saknas."},
                                                  ReportRow{"(saknas)", "", "Error", "Fel:", "Nummer eller kod saknas."}));

  fake::FakeCustomerLedgerItems invoices;
  invoices.records = {{.invoiceNumber = -17, .dueDate = "2026-01-31"}};
  CMlxImportCustomerLedgerItems invoiceJob("token", &invoices);
  EXPECT_THAT(invoiceJob.Check(nullptr), ElementsAre(ReportRow{"-17", "", "Error", "Fel:", "Kundnummer saknas."}));

  fake::FakeSupplierLedgerItems supplierInvoices;
  supplierInvoices.records = {{.invoiceId = "F-9", .supplierNumber = "L1", .dueDate = "2026-02-30"}};
  CMlxImportSupplierLedgerItems supplierInvoiceJob("token", &supplierInvoices);
  EXPECT_THAT(supplierInvoiceJob.Check(nullptr), ElementsAre(ReportRow{"F-9", "", "Error", "Fel:", "Ogiltigt datum."}));
  EXPECT_EQ(supplierInvoiceJob.Upload(), 0);  // all refused: nothing to send
}

TEST(RecordWalk, OpenSupplierInvoicesReadTheCurrencyBeforeTheVatAmounts) {
  fake::FakeSupplierLedgerItems reader;
  reader.records = {{.invoiceId = "F-1", .supplierNumber = "L1", .dueDate = "2026-02-28"}};
  CMlxImportSupplierLedgerItems job("token", &reader);
  job.Check(nullptr);
  std::vector<std::string> getters;
  for (const auto& call : reader.calls) {
    if (call != "MoveFirst" && call != "MoveNext" && call != "CheckCurrent" && call != "AddWarnings" &&
        call != "Close") {
      getters.push_back(call);
    }
  }
  EXPECT_THAT(getters,
              ElementsAre("GetInvoiceId", "IsCreditInvoice", "GetSupplierInvoiceNumber", "GetSupplierNumber",
                          "GetSupplierName", "GetSupplierCountry", "GetSupplierBankCountryCode", "GetInvoiceDate",
                          "GetDueDate", "GetPaymentReferenceNumber", "GetPaymentMessage", "GetCurrencyCode",
                          "GetCurrencyRate", "GetCurrencyRateUnit", "IsUsingTotalVatAmount", "GetTotalVatAmount",
                          "GetVatAmountHigh", "GetVatAmountMiddle", "GetVatAmountLow",
                          "GetSupplierLedgerAccountNumber", "GetTotalAmountInvoiceCurrency",
                          "GetRemainingAmountInvoiceCurrency"));
  EXPECT_EQ(job.GetCount(), 1u);
}

TEST(CompanySettings, TheCheckOnlyCollectsWarningsAndTheUploadReadsTheValuesAfterClose) {
  fake::FakeCompany reader;
  reader.warnings = {{"", "", "Info", "", "Momsperiod saknas."}};
  CMlxImportCompany job("token", &reader);
  EXPECT_EQ(job.Check(nullptr), reader.warnings);
  EXPECT_THAT(reader.calls, ElementsAre("AddWarnings", "Close"));
  EXPECT_TRUE(job.IsReadWhole());
  EXPECT_NE(job.Upload(), 0);  // sent although the check gave a row (no service runs, so it fails)
  EXPECT_EQ(reader.calls.size(), 2u + 29u);
  EXPECT_EQ(reader.calls[2], "GetCorporateIdentityNumber");
  EXPECT_EQ(reader.calls.back(), "GetVatPeriod");
}

TEST(CompanySettings, SettingsNotReadWholeAreNeverSent) {
  fake::FakeCompany reader;
  reader.warnings = {{"", "", "Error", "Fel:", "Tabellen NEWNUM kan inte läsas: no such table: NEWNUM"}};
  CMlxImportCompany job("token", &reader);
  EXPECT_EQ(job.Check(nullptr), reader.warnings);
  EXPECT_FALSE(job.IsReadWhole());
  EXPECT_EQ(job.Upload(), 0);
  EXPECT_THAT(reader.calls, ElementsAre("AddWarnings", "Close"));  // no value was read to be sent
}

TEST(SieFiles, TheFileStateNeedsTheCurrentYearsFile) {
  const struct {
    const char* current;
    const char* previous;
    int state;
  } cases[] = {{"", "", 0}, {"", "/t/SIEPREV.SE", 0}, {"/t/SIE.SE", "", 1}, {"/t/SIE.SE", "/t/SIEPREV.SE", 2}};
  for (const auto& c : cases) {
    fake::FakeSie reader;
    reader.filePath = c.current;
    reader.filePathPreviousYear = c.previous;
    reader.sieRows = {{"", "SIE", "Info", "    ", "SIE-filen är skapad."}};
    CMlxImportSIE job("token", &reader);
    EXPECT_EQ(job.Check(nullptr), reader.sieRows);
    EXPECT_EQ(job.GetSieFileState(), c.state) << c.current << " | " << c.previous;
    EXPECT_EQ(reader.CallCount("GetFilePathPreviousYear"), *c.current ? 1u : 0u);
    EXPECT_EQ(reader.CallCount("Close"), 0u);  // the SIE reader stays open
    if (c.state == 0) {
      EXPECT_EQ(job.Upload(), 0);
    }
  }
}

TEST(Release, ClosesTheReaderAndNothingElse) {
  fake::FakeArticles reader;
  reader.records = {Article("1")};
  CMlxImportArticles job("token", &reader);
  job.Release();
  EXPECT_THAT(reader.calls, ElementsAre("Close"));
}

}  // namespace
