// A DBF company converted end to end: the conversion job builds the DBF readers
// through its factory, checks and uploads every kind to the cloud stand-in, and
// every record a reader lets through is either in the stand-in or in a row.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/import_job.h"
#include "app/reader_factories.h"
#include "app/desktop/company_identification.h"
#include "app/desktop/company_lists.h"
#include "app/desktop/desktop_programs.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/clock.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "sources/admin/customer_ledger_reader.h"
#include "sources/admin/supplier_ledger_reader.h"
#include "sources/admin/testing/reader_walk.h"
#include "tools/cloud_standin/standin_process.h"
#include "tools/samplecompany/sample_company.h"

namespace {

using namespace reader_walk;
namespace fs = std::filesystem;

const char* const kCloudCompany = "c-1001";  // "Åsa Öberg AB" of the stand-in's example fixture

class DbfConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    work_ = *platform::MakeUniqueFolder(platform::TempFolder(), "conv-dbf-");
    KLCRMiscFunc::SetIniPath(work_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    samplecompany::WriteSampleCompany(company());
  }
  void TearDown() override { fs::remove_all(work_); }

  fs::path company() const { return work_ / "Åsa Öberg AB"; }

  // The wizard's road: log in, choose the cloud company, the source company and the
  // net price list, prepare, send.
  void Convert(CMlxImportJob& job) {
    Prepare(job);
    job.UploadAll();
  }
  void Prepare(CMlxImportJob& job) {
    job.SetEmail("anna@example.se");
    job.SetPassword("hemligt");
    ASSERT_TRUE(job.SetCredentials());
    job.SetCloudCompany(CloudCompany{.id = kCloudCompany});
    ASSERT_EQ(job.FetchApiToken(), 0);
    job.SetSourceCompany(IdentifyCompany(company().string(), true));
    job.SetPriceListCode("1");
    job.CreateImports();
    job.CheckAll(nullptr);
  }

  nlohmann::json Pending(const char* kind) const { return cloud_.State()["companies"][kCloudCompany]["pending"][kind]; }

  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  fs::path work_;
};

// The keys of the records a fresh reader of the kind lets through, sorted.
template <class Interface, class Key>
std::vector<std::string> LetThroughKeys(std::unique_ptr<Interface> reader, Key key) {
  std::vector<std::string> keys;
  for (const auto& record : Walk(*reader).records) keys.push_back(record.*key);
  std::sort(keys.begin(), keys.end());
  return keys;
}

// What arrived in the stand-in, by the record's key.
std::map<std::string, nlohmann::json> ByKey(const nlohmann::json& records, const char* keyField) {
  std::map<std::string, nlohmann::json> byKey;
  for (const auto& record : records) byKey.emplace(record[keyField].get<std::string>(), record);
  return byKey;
}

std::vector<std::string> RefusedKeys(const std::vector<ReportRow>& rows) {
  std::vector<std::string> keys;
  for (const auto& row : rows)
    if (row.kind == "Error") keys.push_back(row.key);
  return keys;
}

TEST_F(DbfConversion, EveryRecordReadIsSentOrReported) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);

  const std::string folder = company().string();
  auto readers = MakeReaderFactory(job.GetSourceCompany(), nullptr);
  ASSERT_TRUE(readers);
  for (const KindRead& k : CountReadPerKind(*readers, folder, "1")) {
    SCOPED_TRACE(k.name);
    if (!job.IsTransferred(k.kind)) continue;  // a kind whose reader is not built answers not available
    EXPECT_EQ(job.Result(k.kind), 0);
    EXPECT_EQ(Pending(k.name).size() + CountRefused(job.Rows(k.kind)), k.read);
  }
}

// The keys of the open invoices in the stand-in and in the rows, against those the readers gave.
TEST_F(DbfConversion, EveryOpenInvoiceIsSentOrReported) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);
  ASSERT_TRUE(job.IsTransferred(kImportCustomerLedgerItems));
  ASSERT_TRUE(job.IsTransferred(kImportSupplierLedgerItems));
  EXPECT_EQ(job.Result(kImportCustomerLedgerItems), 0);
  EXPECT_EQ(job.Result(kImportSupplierLedgerItems), 0);

  const auto keysOf = [](const auto& walked, auto keyOfRecord) {
    std::multiset<std::string> keys;
    for (const auto& record : walked.records) keys.insert(keyOfRecord(record));
    for (const auto& row : walked.rows) keys.insert(row.key);
    return keys;
  };
  const auto arrived = [&](const char* kind, ImportKind importKind, auto keyOfItem) {
    std::multiset<std::string> keys;
    for (const auto& item : Pending(kind)) keys.insert(keyOfItem(item));
    for (const auto& row : job.Rows(importKind)) keys.insert(row.key);
    return keys;
  };

  CAdminCustomerLedgerItems customerInvoices(company().string());
  const auto customerKeys = keysOf(Walk(customerInvoices), [](auto& r) { return std::to_string(r.invoiceNumber); });
  EXPECT_EQ(arrived("customerLedgerItems", kImportCustomerLedgerItems,
                    [](auto& item) { return std::to_string(item["invoiceNumber"].template get<int>()); }),
            customerKeys);
  EXPECT_EQ(customerKeys.size(), 5u + 1u + 20u);  // the special invoices, the unbooked one, the ordinary ones

  CAdminSupplierLedgerItems supplierInvoices(company().string());
  const auto supplierKeys = keysOf(Walk(supplierInvoices), [](auto& r) { return r.invoiceId; });
  EXPECT_EQ(arrived("supplierLedgerItems", kImportSupplierLedgerItems,
                    [](auto& item) { return item["invoiceId"].template get<std::string>(); }),
            supplierKeys);
  EXPECT_EQ(supplierKeys.size(), 6u + 1u + 12u);

  // The invoice without a due date is refused by the cloud's rules, not lost.
  const auto& rows = job.Rows(kImportCustomerLedgerItems);
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const ReportRow& r) { return r.key == "10009"; }), 1);
}

// The desktop program links the company to the cloud while the user reads the
// report: the invoices the report promised still go with this send.
TEST_F(DbfConversion, ALinkMadeBetweenTheCheckAndTheSendChangesNothingOfThatConversion) {
  CMlxImportJob job(kSourceAdmin);
  Prepare(job);
  samplecompany::WriteSampleCompany(company(), {.cloudLinkId = "7d1c5a52-0b1e-4bb6-9d5e-1f0c2a3b4c5d"});
  job.UploadAll();
  for (auto [kind, name] : {std::pair{kImportCustomerLedgerItems, "customerLedgerItems"},
                            std::pair{kImportSupplierLedgerItems, "supplierLedgerItems"}}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(job.IsTransferred(kind));
    EXPECT_FALSE(Pending(name).empty());
  }
  // The next prepare pass reads the link.
  job.CreateImports();
  EXPECT_FALSE(job.IsTransferred(kImportCustomerLedgerItems));
  EXPECT_FALSE(job.IsTransferred(kImportSupplierLedgerItems));
}

TEST_F(DbfConversion, OpenInvoicesArriveInTheCloudsForm) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);

  const auto customerInvoices = Pending("customerLedgerItems");
  const auto credit = std::find_if(customerInvoices.begin(), customerInvoices.end(),
                                   [](auto& i) { return i["invoiceNumber"] == 10003; });
  ASSERT_NE(credit, customerInvoices.end());
  EXPECT_EQ((*credit)["isCreditInvoice"], true);
  EXPECT_EQ((*credit)["totalAmountInvoiceCurrency"], "-1250.00");
  EXPECT_EQ((*credit)["remainingAmountInvoiceCurrency"], "-1250.00");
  EXPECT_EQ((*credit)["vatAmountHigh"], "-250.00");
  EXPECT_EQ((*credit)["currencyRate"], "1.000000");
  EXPECT_EQ((*credit)["customerName"], "Byggbolaget Väst AB");
  EXPECT_EQ((*credit)["dueDate"].get<std::string>().size(), 10u);

  const auto supplierInvoices = Pending("supplierLedgerItems");
  const auto unknown = std::find_if(supplierInvoices.begin(), supplierInvoices.end(),
                                    [](auto& i) { return i["invoiceId"] == "9"; });
  ASSERT_NE(unknown, supplierInvoices.end());
  EXPECT_EQ((*unknown)["supplierName"], "Okänd Leverantör AB");
  EXPECT_EQ((*unknown)["supplierCountry"], "");
  EXPECT_EQ((*unknown)["paymentReferenceNumber"], "");
  EXPECT_EQ((*unknown)["paymentMessage"], "1234567890");
  EXPECT_EQ((*unknown)["isUsingTotalVatAmount"], true);
}

TEST_F(DbfConversion, SwedishTextsArriveIntact) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);

  const auto settings = Pending("companySettings");
  ASSERT_EQ(settings.size(), 1u);
  EXPECT_EQ(settings[0]["name"], "Åsa Öberg AB");
  EXPECT_EQ(settings[0]["address1"], "Östra Hamngatan 12");
  EXPECT_EQ(settings[0]["city"], "Göteborg");

  const auto articles = Pending("articles");
  const auto painting = std::find_if(articles.begin(), articles.end(), [](auto& a) { return a["number"] == "100"; });
  ASSERT_NE(painting, articles.end());
  EXPECT_EQ((*painting)["name"], "Målning av fönsterbåge");
  EXPECT_EQ((*painting)["articleAccountName"], "Tjänster 25 %");

  const auto terms = Pending("deliveryTerms");
  ASSERT_FALSE(terms.empty());
  EXPECT_EQ(terms[0]["name"], "Fritt vårt lager");
  const auto methods = Pending("deliveryMethods");
  EXPECT_TRUE(std::any_of(methods.begin(), methods.end(),
                          [](auto& m) { return m["code"] == "HÄMT" && m["name"] == "Kunden hämtar själv"; }));
}

// Each customer and supplier let through is in the stand-in under its own
// number or refused in a row of its own, and the Swedish texts of the sample
// arrive as written.
TEST_F(DbfConversion, CustomersAndSuppliersArriveOrAreReported) {
  CMlxImportJob job(kSourceAdmin);
  Convert(job);
  const std::string folder = company().string();
  auto readers = MakeReaderFactory(job.GetSourceCompany(), nullptr);
  ASSERT_TRUE(readers);

  ASSERT_TRUE(job.IsTransferred(kImportCustomers));
  EXPECT_EQ(job.Result(kImportCustomers), 0);
  const auto customers = ByKey(Pending("customers"), "customerNumber");
  EXPECT_EQ(RefusedKeys(job.Rows(kImportCustomers)), std::vector<std::string>{"6"});  // no city
  std::vector<std::string> customerKeys{"6"};
  for (const auto& [number, customer] : customers) customerKeys.push_back(number);
  std::sort(customerKeys.begin(), customerKeys.end());
  EXPECT_EQ(customerKeys, LetThroughKeys(readers->MakeCustomers(folder), &CustomerRecord::customerNumber));

  ASSERT_TRUE(customers.contains("1"));
  const auto& builder = customers.at("1");
  EXPECT_EQ(builder["name"], "Byggbolaget Väst AB");
  EXPECT_EQ(builder["contactPersonName"], "Åsa Öberg");
  EXPECT_EQ(builder["contactPersonEmail"], "asa.ny@kund1.se");
  EXPECT_EQ(builder["invoiceCity"], "Göteborg");
  EXPECT_EQ(builder["deliveryCity"], "Mölndal");
  EXPECT_EQ(builder["note"], "Ring föreleverans.Port 3");
  EXPECT_EQ(builder["reverseChargeOnConstructionServices"], true);
  ASSERT_TRUE(customers.contains("2"));
  const auto& person = customers.at("2");
  EXPECT_EQ(person["name"], "Märta Sjögren");
  EXPECT_EQ(person["invoiceAddress1"], "Ängsvägen 3");
  EXPECT_EQ(person["invoiceCity"], "Umeå");
  EXPECT_EQ(person["isPrivatePerson"], true);
  EXPECT_EQ(person["termsOfPaymentCode"], "30");
  EXPECT_EQ(person["termsOfPaymentName"], "30 dagar netto");

  ASSERT_TRUE(job.IsTransferred(kImportSuppliers));
  EXPECT_EQ(job.Result(kImportSuppliers), 0);
  const auto suppliers = ByKey(Pending("suppliers"), "supplierNumber");
  EXPECT_EQ(RefusedKeys(job.Rows(kImportSuppliers)), std::vector<std::string>{"7"});  // no name
  std::vector<std::string> supplierKeys{"7"};
  for (const auto& [number, supplier] : suppliers) supplierKeys.push_back(number);
  std::sort(supplierKeys.begin(), supplierKeys.end());
  EXPECT_EQ(supplierKeys, LetThroughKeys(readers->MakeSuppliers(folder), &SupplierRecord::supplierNumber));

  ASSERT_TRUE(suppliers.contains("1"));
  const auto& hardware = suppliers.at("1");
  EXPECT_EQ(hardware["name"], "Järnhandel i Västerås AB");
  EXPECT_EQ(hardware["contactPersonName"], "Bengt Bäckman");
  EXPECT_EQ(hardware["address1"], "Industrivägen 2");
  EXPECT_EQ(hardware["city"], "Västerås");
  EXPECT_EQ(hardware["note"], "Leveransmåndagar");
  EXPECT_EQ(hardware["supplierBankgiroNumber"], "123-4567");
  ASSERT_TRUE(suppliers.contains("3"));
  EXPECT_EQ(suppliers.at("3")["supplierBankIban"], "FR7630006000011234567890189");
  EXPECT_EQ(suppliers.at("3")["bankFeeCode"], "1");
  ASSERT_TRUE(suppliers.contains("2"));
  EXPECT_EQ(suppliers.at("2")["name"], "Norrlands Trä AB");
  EXPECT_EQ(suppliers.at("2")["city"], "Luleå");
}

// The administration program installed for the sample company, with the test kit
// in its program folder as the demo installs it: the SIE files the kit makes reach
// the stand-in byte for byte, without the desktop program being started.
TEST_F(DbfConversion, SieFilesOfTheInstalledKitArriveByteForByte) {
  const fs::path program = work_ / "Tessal Administration";
  const std::string key = samplecompany::WriteAdministrationProgram(program, company().parent_path());
  fs::copy_file(fs::path(BIX_TESTKIT_DIR) / "Bix.dll", program / "Bix.dll");
  platform::InstallRegistry(std::make_shared<const platform::RegistryStore>(
      platform::RegistryStore::Parse("Windows Registry Editor Version 5.00\n\n" + key)));
  InitDesktopProducts();
  struct Uninstall {
    ~Uninstall() {
      platform::InstallRegistry(nullptr);
      for (DesktopProgramInfo& installed : g_desktopPrograms) installed = DesktopProgramInfo{};
    }
  } uninstall;
  std::vector<SourceCompany> listed;  // the company a converter started alone offers
  ListDesktopCompanies(samplecompany::kOrgNo, &listed);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_TRUE(fs::equivalent(listed[0].path, company()));
  platform::fake::ScriptedPrompter prompter;
  CMlxImportJob job(kSourceAdmin, &prompter);

  Convert(job);

  EXPECT_THAT(job.Rows(kImportSie), ::testing::IsEmpty());
  EXPECT_EQ(job.Result(kImportSie), 0);
  EXPECT_THAT(prompter.shown, ::testing::IsEmpty());
  auto* sie = dynamic_cast<I_QZ_SIE*>(job.Reader(kImportSie));
  ASSERT_NE(sie, nullptr);
  const auto received = Pending("sie");
  const int thisYear = platform::CurrentClock().Now().year;
  for (const auto& [year, path, name, started] :
       {std::tuple{"currentYear", sie->GetFilePath(), "SIE.SE", thisYear},
        std::tuple{"previousYear", sie->GetFilePathPreviousYear(), "SIEPREV.SE", thisYear - 1}}) {
    SCOPED_TRACE(year);
    ASSERT_EQ(fs::path(path).filename(), name);
    const auto made = platform::ReadWholeFile(path);
    ASSERT_TRUE(made);
    EXPECT_THAT(*made, ::testing::HasSubstr("#PROGRAM \"Bix testkit\""));
    EXPECT_THAT(*made, ::testing::HasSubstr("#RAR 0 " + std::to_string(started) + "0101 "));
    EXPECT_EQ(received[year]["fileName"], name);
    EXPECT_EQ(cloud_standin::ReceivedFileBytes(received[year]), *made);
  }
}

}  // namespace
