#include "app/import_job.h"

#include <exception>
#include <map>

#include "app/reader_factories.h"
#include "app/desktop/company_identification.h"
#include "klcr/klcr.h"
#include "platform/log.h"
#include "platform/text.h"
#include "sources/vardo/vardo_companies.h"

using namespace KLCR_MolnixMigration;

namespace {

// The report row of a kind whose reader could not be built.
ReportRow ReaderFailureRow(const std::exception& e) {
  return {"", "", report::kError, report::kCaptionError, std::string("Uppgifterna kunde inte läsas: ") + e.what()};
}

std::string DigitsOf(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  return digits;
}

}  // namespace

CMlxImportJob::CMlxImportJob(int sourceKind, platform::Prompter* prompter, ReaderFactoryMaker makeReaders,
                             std::filesystem::path uncertainImportsFile)
    : sourceKind_(sourceKind),
      prompter_(prompter),
      makeReaders_(std::move(makeReaders)),
      uncertainImports_(std::move(uncertainImportsFile)) {
  if (!makeReaders_) {
    makeReaders_ = [this](const SourceCompany& company) { return MakeReaderFactory(company, prompter_); };
  }
}

CMlxImportJob::~CMlxImportJob() { ReleaseImports(); }

bool CMlxImportJob::SelectSourceCompany(const std::string& companyFolder) {
  if (companyFolder.empty()) return false;
  SourceCompany company;
  if (sourceKind_ == kSourceAdmin) {
    company = IdentifyCompany(companyFolder, true);
  } else if (sourceKind_ == kSourceVardo) {
    company = IdentifyVardoCompany(companyFolder);
  } else {
    return false;
  }
  sourceCompany_ = company;
  if (company.kind != sourceKind_) return false;
  orgNo_ = company.orgNo;
  return true;
}

std::vector<SourceCompany> CMlxImportJob::GetSourceCompanies() const {
  if (sourceKind_ != kSourceNone) return {sourceCompany_};
  return ListSourceCompanies(bureauSettings_, vardoEnvironment_, cloudCompany_.registrationNumber);
}

bool CMlxImportJob::SetCredentials() {
  userName_ = email_;
  KLCRUsesUserData user;
  user.SetUsername(email_);
  return user.SetPassword(password_, true);
}

int CMlxImportJob::FetchApiToken() {
  CGetToken request;
  request.SetUsername(email_);
  request.SetCustomerId(cloudCompany_.id);
  const int code = request.Call();
  if (code == klcr::kOk) {
    userName_ = email_;
    apiToken_ = request.GetToken();
  } else {
    apiToken_.clear();
  }
  return code;
}

void CMlxImportJob::ReleaseImports() {
  // Upload jobs borrow the readers, so they go first.
  for (auto& import : imports_) import.reset();
  for (auto& reader : readers_) reader.reset();
}

template <class Import, class ReaderInterface>
void CMlxImportJob::Build(ImportKind kind, std::function<std::unique_ptr<ReaderInterface>()> make) {
  try {
    std::unique_ptr<ReaderInterface> reader = make();
    if (!reader) return;
    imports_[kind] = std::make_unique<Import>(apiToken_, reader.get());
    readers_[kind] = std::move(reader);
  } catch (const std::exception& e) {
    WriteLog("Läsaren för datatyp " + std::to_string(kind) + " kunde inte skapas: " + e.what());
    rows_[kind] = {ReaderFailureRow(e)};
    unreadable_[kind] = true;
  }
}

void CMlxImportJob::CreateImports() {
  ReleaseImports();
  unreadable_ = {};
  importId_ = CCompleteExport::NewImportId();
  const std::unique_ptr<ReaderFactory> factory = makeReaders_(sourceCompany_);
  if (!factory) return;
  ReaderFactory& f = *factory;
  const std::string& folder = sourceCompany_.path;
  Build<CMlxImportCompany, I_QZ_Company>(kImportCompany, [&] { return f.MakeCompanySettings(folder); });
  Build<CMlxImportArticles, I_QZ_Articles>(kImportArticles, [&] { return f.MakeArticles(folder, priceListCode_); });
  Build<CMlxImportCustomers, I_QZ_Customers>(kImportCustomers, [&] { return f.MakeCustomers(folder); });
  Build<CMlxImportSuppliers, I_QZ_Suppliers>(kImportSuppliers, [&] { return f.MakeSuppliers(folder); });
  Build<CMlxImportDeliveryTerms, I_QZ_DeliveryTerms>(kImportDeliveryTerms,
                                                      [&] { return f.MakeDeliveryTerms(folder); });
  Build<CMlxImportDeliveryMethods, I_QZ_DeliveryMethods>(kImportDeliveryMethods,
                                                          [&] { return f.MakeDeliveryMethods(folder); });
  Build<CMlxImportCustomerLedgerItems, I_QZ_CustomerLedgerItems>(
      kImportCustomerLedgerItems, [&] { return f.MakeCustomerLedgerItems(folder); });
  Build<CMlxImportSupplierLedgerItems, I_QZ_SupplierLedgerItems>(
      kImportSupplierLedgerItems, [&] { return f.MakeSupplierLedgerItems(folder); });
  Build<CMlxImportSIE, I_QZ_SIE>(kImportSie, [&] { return f.MakeSie(folder); });
}

bool CMlxImportJob::IsTransferred(ImportKind kind) const {
  if (!readers_[kind]) return false;
  if (kind == kImportCustomerLedgerItems && !transferOpenCustomerInvoices_) return false;
  return readers_[kind]->IsAvailable();
}

bool CMlxImportJob::IsUnreadable(ImportKind kind) const {
  if (kind == kImportCustomerLedgerItems && !transferOpenCustomerInvoices_) return false;
  return unreadable_[kind] || (imports_[kind] && !imports_[kind]->IsReadWhole());
}

void CMlxImportJob::CheckAll(ProgressSink* progress) {
  for (int k = 0; k < kImportKindCount; ++k) {
    const auto kind = static_cast<ImportKind>(k);
    if (!imports_[kind]) continue;
    if (IsTransferred(kind)) {
      rows_[kind] = imports_[kind]->Check(progress);
    } else {
      imports_[kind]->Release();
    }
  }
}

int CMlxImportJob::UploadAll() {
  if (const int code = DiscardExport(); code != klcr::kOk) {
    WriteLog("En tidigare påbörjad överföring kunde inte tas bort; inget skickades (felkod " + std::to_string(code) +
             ")");
    return code;
  }
  for (int k = 0; k < kImportKindCount; ++k) {
    const auto kind = static_cast<ImportKind>(k);
    if (!imports_[kind] || !IsTransferred(kind)) continue;
    // The token fetched at the start of this send: the one the jobs were built
    // with may have expired while the user read the report.
    imports_[kind]->SetApiToken(apiToken_);
    results_[kind] = imports_[kind]->Upload();
  }
  return klcr::kOk;
}

int CMlxImportJob::DiscardExport() {
  CDiscard request;
  request.SetApiToken(apiToken_);
  return request.Call();
}

int CMlxImportJob::CompleteExport() {
  CCompleteExport request;
  request.SetApiToken(apiToken_);
  request.SetImportId(importId_);
  request.SetTokenRenewal([this](std::string& token) {
    const int code = FetchApiToken();
    token = apiToken_;
    return code;
  });
  const int code = request.Call();
  if (code == klcr::kCompletionUnknown) {
    uncertainImports_.Remember({cloudCompany_.id, sourceCompany_.path, sourceCompany_.name, request.GetImportId()});
    WriteLog("Det gick inte att få veta om överföringen " + request.GetImportId() + " av företaget " +
             sourceCompany_.name + " till företaget " + cloudCompany_.id +
             " avslutades; den kan redan finnas i Tessal Molnix");
  } else if (code == klcr::kOk) {
    // A send repeated after an unknown outcome: now it is known.
    uncertainImports_.Forget(cloudCompany_.id, request.GetImportId());
  }
  return code;
}

int CMlxImportJob::AskImportState(const std::string& importId, bool& completed) {
  CGetImportState request;
  request.SetImportId(importId);
  // A new run has no token yet, and the one of an earlier send may have run out.
  int code = klcr::kUnauthorized;
  if (!apiToken_.empty()) {
    request.SetApiToken(apiToken_);
    code = request.Call();
  }
  if (code == klcr::kUnauthorized && FetchApiToken() == klcr::kOk) {
    request.SetApiToken(apiToken_);
    code = request.Call();
  }
  completed = code == klcr::kOk && request.IsCompleted();
  return code;
}

bool CMlxImportJob::EarlierImportWasCompleted() {
  bool thisCompanysWasCompleted = false;
  for (const UncertainImport& earlier : uncertainImports_.Of(cloudCompany_.id)) {
    if (earlier.importId.empty()) continue;  // of an unreadable record: nothing to ask about
    bool completed = false;
    const int code = AskImportState(earlier.importId, completed);
    if (completed) {
      WriteLog("Överföringen " + earlier.importId + " av företaget " + earlier.sourceCompanyName +
               " är avslutad i Tessal Molnix");
      uncertainImports_.Forget(earlier.cloudCompanyId, earlier.importId);
      // Another source company's import says nothing of whether this one's data is there.
      if (earlier.sourceCompanyPath == sourceCompany_.path) thisCompanysWasCompleted = true;
    } else {
      WriteLog("Överföringen " + earlier.importId + " av företaget " + earlier.sourceCompanyName +
               " kan fortfarande finnas i Tessal Molnix" +
               (code == klcr::kOk ? std::string(" (ännu inte avslutad)") : " (felkod " + std::to_string(code) + ")"));
    }
  }
  return thisCompanysWasCompleted;
}

std::optional<UncertainImport> CMlxImportJob::EarlierImport() const {
  for (UncertainImport& earlier : uncertainImports_.Of(cloudCompany_.id)) {
    if (earlier.importId != importId_) return std::move(earlier);
  }
  return std::nullopt;
}

void CMlxImportJob::ForgetEarlierImport() {
  if (const auto earlier = EarlierImport()) {
    WriteLog("Användaren valde en ny överföring, fast överföringen " +
             (earlier->importId.empty() ? std::string("(okänd)") : earlier->importId) +
             " kan redan finnas i Tessal Molnix");
  }
  uncertainImports_.ForgetAllOf(cloudCompany_.id);
}

bool MatchesCloudCompanyFilter(std::string_view filter, std::string_view registrationNumber) {
  return platform::Utf8Length(filter) < 2 || DigitsOf(filter) == DigitsOf(registrationNumber);
}

std::vector<CloudCompany> GetCloudCompanies(CMlxImportJob& job, std::string filter, int* resultCode) {
  CGetCustomers request;
  request.SetUsername(job.UserName());
  const int code = request.Call();
  if (resultCode) *resultCode = code;
  std::vector<CloudCompany> companies;
  if (code != klcr::kOk) return companies;

  const int count = request.GetNumberOfCustomers();
  if (count == 0) {
    job.SetNames("", "");
    return companies;
  }
  job.SetNames(request.GetFirstName(0), request.GetLastName(0));
  for (int i = 0; i < count; ++i) {
    const std::string registrationNumber = request.GetCustomerRegistrationNumber(i);
    if (!MatchesCloudCompanyFilter(filter, registrationNumber)) continue;
    companies.push_back({registrationNumber, request.GetName(i), request.GetId(i), request.GetCountryId(i),
                         request.GetCustomerStatus(i), request.GetNumber(i)});
  }
  return companies;
}

std::string GetServiceUrl(const std::string& service) {
  static std::map<std::string, std::string> found;
  std::string& url = found[service];
  if (url.empty()) {
    KLCR_ServiceDirectory::CGetService request;
    request.SetService(service);
    if (request.Call() == klcr::kOk) url = request.GetUri();
  }
  return url;
}

std::string GetHelpBaseUrl() { return GetServiceUrl("BaseUrl.HelpKolm"); }

std::string GetRestErrorText(int code) { return KLCRestBase::GetErrorText(code, klcr::kSwedish); }
