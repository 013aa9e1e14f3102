#pragma once
// The conversion job: everything of one conversion. The user's credentials, the
// chosen cloud company and its API token, the chosen source company and price
// list, and per data kind the source reader, the upload job, the report rows of
// the last check and the result of the last upload. It reaches the source data
// only through the reader interfaces and the cloud only through klcr.
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/import_jobs.h"
#include "app/progress_sink.h"
#include "app/uncertain_imports.h"
#include "app/desktop/company_lists.h"
#include "app/reader_interfaces/import_kind.h"
#include "app/reader_interfaces/reader_factory.h"
#include "app/reader_interfaces/report_row.h"
#include "app/reader_interfaces/source_company.h"
#include "app/reader_interfaces/source_readers.h"
#include "platform/prompter.h"
#include "sources/vardo/vardo_environment.h"

// One company of the cloud service that the logged-in user may reach.
struct CloudCompany {
  std::string registrationNumber{};  // as the service gives it, not normalised
  std::string name{};
  std::string id{};  // the company's id towards the service (the token is asked for it)
  std::string countryId{};
  int status = 0;  // carried, decides nothing here
  int number = 0;  // carried, decides nothing here

  friend bool operator==(const CloudCompany&, const CloudCompany&) = default;
};

class CMlxImportJob {
 public:
  // Chooses the reader family of a source company; null when none serves it.
  using ReaderFactoryMaker = std::function<std::unique_ptr<ReaderFactory>(const SourceCompany&)>;

  // `sourceKind` is the line of the desktop program that started the converter
  // (kSourceNone when it was started alone). `prompter` is how a reader tells the
  // user something before it works (the SIE export through the desktop program);
  // `makeReaders` replaces the reader families (tests).
  // `uncertainImportsFile` keeps the imports whose completion stayed unknown.
  explicit CMlxImportJob(int sourceKind = kSourceNone, platform::Prompter* prompter = nullptr,
                         ReaderFactoryMaker makeReaders = {},
                         std::filesystem::path uncertainImportsFile = UncertainImportStore::DefaultFile());
  virtual ~CMlxImportJob();
  CMlxImportJob(const CMlxImportJob&) = delete;
  CMlxImportJob& operator=(const CMlxImportJob&) = delete;

  // Credentials and names.
  void SetEmail(std::string email) { email_ = std::move(email); }
  void SetPassword(std::string password) { password_ = std::move(password); }
  void SetOrgNo(std::string orgNo) { orgNo_ = std::move(orgNo); }
  void SetUserName(std::string userName) { userName_ = std::move(userName); }
  const std::string& Email() const { return email_; }
  const std::string& Password() const { return password_; }
  const std::string& OrgNo() const { return orgNo_; }
  const std::string& UserName() const { return userName_; }
  const std::string& FirstName() const { return firstName_; }
  const std::string& LastName() const { return lastName_; }
  const std::string& ApiToken() const { return apiToken_; }

  // The user name becomes the e-mail; the password is given to the cloud library
  // for this user. Its answer is returned.
  bool SetCredentials();
  // Fetches the API token of the chosen cloud company. On failure no token is
  // kept, so nothing can be sent with a token of an earlier choice.
  int FetchApiToken();

  // Identifies the folder as a company of the line of the program that started the
  // converter and makes it the chosen source company, also when it is of another
  // line (the answer is then false). True when the lines agree; the company's
  // organisation number then filters the cloud companies.
  bool SelectSourceCompany(const std::string& companyFolder);
  // The source companies to offer: the chosen one alone when a desktop program
  // started the converter, otherwise every local company whose organisation number
  // is the chosen cloud company's.
  std::vector<SourceCompany> GetSourceCompanies() const;

  // The companies chosen in the wizard.
  void SetCloudCompany(CloudCompany company) { cloudCompany_ = std::move(company); }
  const CloudCompany& GetCloudCompany() const { return cloudCompany_; }
  void SetSourceCompany(SourceCompany company) { sourceCompany_ = std::move(company); }
  const SourceCompany& GetSourceCompany() const { return sourceCompany_; }
  void SetPriceListCode(std::string code) { priceListCode_ = std::move(code); }
  const std::string& PriceListCode() const { return priceListCode_; }
  // Whether the open customer invoices are to be transferred (true until the user says no).
  void SetTransferOpenCustomerInvoices(bool transfer) { transferOpenCustomerInvoices_ = transfer; }
  bool TransferOpenCustomerInvoices() const { return transferOpenCustomerInvoices_; }
  const VardoEnvironment& GetVardoEnvironment() const { return vardoEnvironment_; }

  // Deletes the readers and upload jobs; rows and results stay.
  void ReleaseImports();
  // Builds the readers of the chosen source company and one upload job per reader,
  // after releasing the previous set. A reader that cannot be built leaves its kind
  // without reader and upload job, with one row that says so (see IsUnreadable);
  // the others go on.
  void CreateImports();
  // Checks every kind that is to be transferred; the others' readers are closed.
  void CheckAll(ProgressSink* progress);
  // Discards what the cloud company holds uncompleted, then uploads every kind that
  // is to be transferred, in kind order, each with the job's current API token.
  // Answers the discard's code: when it is not 0 nothing is uploaded, since an
  // earlier attempt's records would be completed with this run's.
  int UploadAll();
  int DiscardExport();
  // The id under which the prepared conversion is completed in the cloud. It
  // stays the same for every send of one preparation, so a send repeated after
  // a completion whose answer was lost never completes a second import.
  const std::string& ImportId() const { return importId_; }
  // Completes the import of ImportId() with the current API token. When the
  // answer was lost and the service would not say afterwards whether it was
  // completed (klcr::kCompletionUnknown), the import is remembered for the chosen
  // cloud and source company in the per-user data, and logged: a later
  // preparation, in this run or a later one, has a new id, and its send could
  // make a second import.
  int CompleteExport();
  // Asks the service about the remembered imports of the chosen cloud company
  // (fetching an API token when the job has none or the service refuses it); one
  // that was completed is forgotten. True when the chosen source company's import
  // was completed. False when there is none, or it is still not known.
  bool EarlierImportWasCompleted();
  // A remembered import of the chosen cloud company, other than the prepared
  // one, that may already be in the cloud: a send would make a second import.
  // Its source company is empty when the record of it could not be read.
  std::optional<UncertainImport> EarlierImport() const;
  // The user chose to send anew all the same.
  void ForgetEarlierImport();

  // Per data kind. Reader and upload job are null when none was built.
  I_QZ_Base* Reader(ImportKind kind) const { return readers_[kind].get(); }
  CMlxImportBase* Import(ImportKind kind) const { return imports_[kind].get(); }
  const std::vector<ReportRow>& Rows(ImportKind kind) const { return rows_[kind]; }
  int Result(ImportKind kind) const { return results_[kind]; }
  // The kind has a reader that is available and, for the open customer invoices,
  // the user wants them; with that flag clear the reader is not asked.
  bool IsTransferred(ImportKind kind) const;
  // The kind's reader could not be built in the last CreateImports, or its check
  // found the source not readable whole (company settings): nothing of it goes,
  // and its rows say why. The open customer invoices count only while wanted.
  bool IsUnreadable(ImportKind kind) const;

  // For GetCloudCompanies: the user's names as the service gives them.
  void SetNames(std::string firstName, std::string lastName) {
    firstName_ = std::move(firstName);
    lastName_ = std::move(lastName);
  }

 private:
  // Asks whether the import of `importId` was completed, with a new API token
  // when the job has none or the service refuses it. Answers the call's code.
  int AskImportState(const std::string& importId, bool& completed);
  template <class Import, class ReaderInterface>
  void Build(ImportKind kind, std::function<std::unique_ptr<ReaderInterface>()> make);

  int sourceKind_;
  platform::Prompter* prompter_;
  ReaderFactoryMaker makeReaders_;
  std::string email_;
  std::string password_;
  std::string orgNo_;
  std::string userName_;
  std::string firstName_;
  std::string lastName_;
  std::string apiToken_;
  std::string importId_;
  // The imports whose completion stayed unknown.
  UncertainImportStore uncertainImports_;
  CloudCompany cloudCompany_;
  SourceCompany sourceCompany_;
  std::string priceListCode_;
  std::array<std::unique_ptr<I_QZ_Base>, kImportKindCount> readers_;
  std::array<std::unique_ptr<CMlxImportBase>, kImportKindCount> imports_;
  std::array<std::vector<ReportRow>, kImportKindCount> rows_;
  std::array<int, kImportKindCount> results_{};
  std::array<bool, kImportKindCount> unreadable_{};
  bool transferOpenCustomerInvoices_ = true;
  VardoEnvironment vardoEnvironment_;
  CClientDataSettings bureauSettings_{&vardoEnvironment_};
};

// Whether a cloud company's registration number passes the filter: a filter of
// fewer than two characters passes every company; otherwise only the digits of
// both count, so "556677-8899", "556677 8899" and "5566778899" select alike, while
// the century digits of a 12-digit number make it another number.
bool MatchesCloudCompanyFilter(std::string_view filter, std::string_view registrationNumber);

// The cloud companies of the job's user that pass the filter, in the service's
// order. The call's code goes to `resultCode` when given; on failure the list is empty and the
// names stay; with no company the names become empty.
std::vector<CloudCompany> GetCloudCompanies(CMlxImportJob& job, std::string filter, int* resultCode);

// The address of a service of the service directory; empty until a look-up
// succeeds, tried again each call until then, and kept for the rest of the run.
std::string GetServiceUrl(const std::string& service);

// The help site's base address ("BaseUrl.HelpKolm").
std::string GetHelpBaseUrl();

// The Swedish text of a cloud library result.
std::string GetRestErrorText(int code);
