#pragma once
// Client of the Molnix cloud service. Each request is an object: its setters
// take the input, Call() sends it and answers 0 or an error code (see klcr::),
// and its getters give the answer. Texts are UTF-8; setters answer whether the
// value was taken. The protocol on the wire is described in klcr/README.md.
//
// Upload objects check each record when it is added, so a refusal is known
// before anything is sent: Add...() answers 0 or a field error code, and a
// refused record stays current until Reset...(). Call() sends every accepted
// record of the kind in one request, which the service takes whole or refuses.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace klcr {

// Results of Call(). HTTP statuses from the service are passed on as they are
// (401, 403, 404, 409, 500, ...); failures before an answer have codes of their own.
inline constexpr int kOk = 0;
inline constexpr int kBadRequest = 400;
inline constexpr int kUnauthorized = 401;
inline constexpr int kForbidden = 403;
inline constexpr int kNotFound = 404;  // also: the user has no companies
inline constexpr int kConflict = 409;  // e.g. nothing pending to complete
inline constexpr int kServerError = 500;
inline constexpr int kServiceUnavailable = 503;
inline constexpr int kConnectionFailed = 1001;  // refused, unreachable, name not resolved
inline constexpr int kTimedOut = 1002;
inline constexpr int kMalformedAnswer = 1003;
inline constexpr int kNotLoggedIn = 1004;  // no password this run and no kept credential
inline constexpr int kSecureConnectionFailed = 1005;  // certificate or TLS failure
inline constexpr int kMissingInput = 1006;  // user, company id, token or service not set
inline constexpr int kFileUnreadable = 1007;  // a SIE file could not be read
inline constexpr int kTransferFailed = 1008;  // any other transport failure
inline constexpr int kNothingToCall = 1009;  // Call() of an object that is no request
inline constexpr int kRecordNotAccepted = 1010;  // company settings with a text the service does not take
// A completion whose answer was lost, and whose import the service did not say
// was completed when asked afterwards: it may have been completed, or not.
inline constexpr int kCompletionUnknown = 1011;

// Results of Add...() (field errors); their texts come from
// KLCR_MolnixMigration::KLCRReturnsErrorInfo::GetFieldErrorText.
inline constexpr int kFieldOk = 0;
inline constexpr int kFieldTooLong = 1;
inline constexpr int kFieldRequiredMissing = 2;  // articles: the account code is missing
inline constexpr int kFieldBadFormat = 3;
inline constexpr int kFieldAccountCodeMissing = 4;  // explains kFieldRequiredMissing of an article
inline constexpr int kFieldNameMissing = 5;
inline constexpr int kFieldPostalCodeMissing = 6;
inline constexpr int kFieldCityMissing = 7;
inline constexpr int kFieldCustomerNumberMissing = 8;
inline constexpr int kFieldSupplierNumberMissing = 9;
inline constexpr int kFieldDueDateMissing = 10;
inline constexpr int kFieldNumberMissing = 11;  // article number, term or method code
inline constexpr int kFieldBadDate = 12;
inline constexpr int kFieldBadAmount = 13;
inline constexpr int kFieldDuplicateKey = 14;
inline constexpr int kFieldArticleNameMissing = 15;

inline constexpr int kSwedish = 1053;  // the only language the texts exist in

}  // namespace klcr

// ---------------------------------------------------------------------------
// Bases

class KLCRestBase {
 public:
  KLCRestBase() = default;
  virtual ~KLCRestBase() = default;
  // Sends the request; 0 for success, otherwise a code of klcr::.
  virtual int Call();
  // Swedish text of a Call() result; every language gets the Swedish text.
  static std::string GetErrorText(int code, int language);
};

class KLCRestApiToken : public KLCRestBase {
 public:
  bool SetApiToken(const std::string& token);

 protected:
  const std::string& ApiToken() const { return apiToken_; }

 private:
  std::string apiToken_;
};

class KLCRUsesUserData : public KLCRestBase {
 public:
  bool SetUsername(const std::string& email);
  // Remembers the password for this user for the rest of the run; the next
  // request of the user logs in with it. With `keep` the refresh credential
  // the service gives is kept in the settings folder (mode 0600), so a later
  // run with only the e-mail acts as this user. The password itself is never
  // written anywhere. False when the user name or the password is empty.
  bool SetPassword(const std::string& password, bool keep);
  // Logs the user in (or checks the kept credential) without asking anything else.
  int Call() override;

 protected:
  const std::string& Username() const { return username_; }
  // A bearer access token for the user, logging in or refreshing as needed.
  int Authenticate(std::string& accessToken);

 private:
  std::string username_;
};

class KLCRUsesCredentials : public KLCRUsesUserData {
 public:
  bool SetCustomerId(const std::string& id);

 protected:
  const std::string& CustomerId() const { return customerId_; }

 private:
  std::string customerId_;
};

// ---------------------------------------------------------------------------
// Configuration, once at start-up

class KLCRMiscFunc {
 public:
  static bool SetIniPath(const std::string& folder);  // where kept credentials live
  static bool SetTimeout(int seconds);                // longest wait without progress; false unless above 0
  static bool SetLoggPath(const std::string& folder); // the library's log "klcr_logg.txt"
  // What the configuration holds now.
  static std::string GetIniPath();
  static int GetTimeout();
  static std::string GetLoggPath();
};

namespace KLCR_ServiceDirectory {

class KLCRSDMiscFunc {
 public:
  static bool SetBaseUrl(const std::string& url);
  static bool SetCountryCode(const std::string& code);
  static std::string GetBaseUrl();
  static std::string GetCountryCode();
};

// Looks up the address of a named service ("BaseUrl.Molnix", "BaseUrl.HelpKolm").
class CGetService : public KLCRestBase {
 public:
  bool SetService(const std::string& name);
  int Call() override;
  const std::string& GetUri() const { return uri_; }

 private:
  std::string service_;
  std::string uri_;
};

}  // namespace KLCR_ServiceDirectory

// ---------------------------------------------------------------------------
// Migration requests

namespace KLCR_MolnixMigration {

class KLCRReturnsErrorInfo {
 public:
  // Swedish text of an Add...() result; every language gets the Swedish text.
  static std::string GetFieldErrorText(int code, int language);
};

// The companies the user may reach. A user without companies gets 404.
class CGetCustomers : public KLCRUsesUserData {
 public:
  int Call() override;
  int GetNumberOfCustomers() const;
  // Index 0 .. count - 1; out of range gives the empty text or 0.
  std::string GetFirstName(int index) const;
  std::string GetLastName(int index) const;
  std::string GetCustomerRegistrationNumber(int index) const;
  std::string GetName(int index) const;
  std::string GetId(int index) const;
  std::string GetCountryId(int index) const;
  int GetCustomerStatus(int index) const;
  int GetNumber(int index) const;

 private:
  struct Customer {
    std::string registrationNumber, name, id, countryId;
    int status = 0;
    int number = 0;
  };
  const Customer* At(int index) const;
  std::vector<Customer> customers_;
  std::string firstName_, lastName_;
};

// The API token of one company of the user.
class CGetToken : public KLCRUsesCredentials {
 public:
  int Call() override;
  const std::string& GetToken() const { return token_; }

 private:
  std::string token_;
};

// Drops the uploaded, not completed import of the token's company.
class CDiscard : public KLCRestApiToken {
 public:
  int Call() override;
};

// Completes the uploaded import of the token's company. The import carries an
// id of the client's: completing an id the service has completed already is
// answered as success and completes nothing more. When the answer is lost
// (time-out, a connection broken or closed after the request) the service may
// still be at work: it is asked a few times, spaced, whether that id was
// completed; completed is success, and anything else then is kCompletionUnknown,
// never a refusal.
class CCompleteExport : public KLCRestApiToken {
 public:
  // A new, random import id.
  static std::string NewImportId();
  // Without one, Call() makes a new id.
  bool SetImportId(const std::string& id);
  const std::string& GetImportId() const { return importId_; }
  // How a state query asked after a lost answer gets a new API token when the
  // service refuses the one it has (401): answers 0 with the token, or a code.
  // Without it such a query counts as one that failed.
  void SetTokenRenewal(std::function<int(std::string& token)> renew) { renewToken_ = std::move(renew); }
  int Call() override;

 private:
  std::string importId_;
  std::function<int(std::string& token)> renewToken_;
};

// Whether the import of an id was completed in the token's company.
class CGetImportState : public KLCRestApiToken {
 public:
  bool SetImportId(const std::string& id);
  int Call() override;
  // Meaningful after a Call() that answered 0.
  bool IsCompleted() const { return completed_; }

 private:
  std::string importId_;
  bool completed_ = false;
};

// ---------------------------------------------------------------------------
// Uploads

namespace detail {
struct RecordSchema;
struct RecordStore;
}  // namespace detail

// Common part of the uploads: the current record, the accepted records and the send.
class KLCRUploadBase : public KLCRestApiToken, public KLCRReturnsErrorInfo {
 public:
  ~KLCRUploadBase() override;
  KLCRUploadBase(const KLCRUploadBase&) = delete;
  KLCRUploadBase& operator=(const KLCRUploadBase&) = delete;
  // Records accepted so far.
  std::size_t GetCount() const;
  int Call() override;

 protected:
  explicit KLCRUploadBase(const detail::RecordSchema& schema);
  bool SetText(int field, const std::string& value);
  bool SetBool(int field, bool value);
  bool SetInt(int field, int value);
  int AddCurrent();
  void ResetCurrent();
  // Sends the current record alone (the company settings are one record).
  int SendCurrent();

 private:
  std::unique_ptr<detail::RecordStore> store_;
};

class CUploadCompanySettings : public KLCRUploadBase {
 public:
  CUploadCompanySettings();
  bool SetCorporateIdentityNumber(const std::string& value);
  bool SetName(const std::string& value);
  bool SetAddress1(const std::string& value);
  bool SetAddress2(const std::string& value);
  bool SetPostalCode(const std::string& value);
  bool SetCity(const std::string& value);
  bool SetPhone(const std::string& value);
  bool SetMobile(const std::string& value);
  bool SetEmail(const std::string& value);
  bool SetWeb(const std::string& value);
  bool SetVatNumber(const std::string& value);
  bool SetBankgiroNumber(const std::string& value);
  bool SetPlusgiroNumber(const std::string& value);
  bool SetResidence(const std::string& value);
  bool SetEdiGlnNumber(const std::string& value);
  bool SetHasFTaxCard(bool value);
  bool SetUsesReversedConstructionVat(bool value);
  bool SetUsesMiddlemansSaleOfGoodsEc(bool value);
  bool SetUsesRotReducedInvoicing(bool value);
  bool SetUsesMoss(bool value);
  bool SetNextCustomerInvoiceNumber(int value);
  bool SetNextCustomerOrderNumber(int value);
  bool SetNextCustomerQuoteNumber(int value);
  bool ExportApplication(int value);
  bool CompanyType(int value);
  bool CompanyBankBic(const std::string& value);
  bool CompanyBankAccountBban(const std::string& value);
  bool CompanyBankAccountIban(const std::string& value);
  bool VatPeriod(int value);
  // The settings are one record with no Add: Call() sends them as set.
  int Call() override;
};

class CUploadArticles : public KLCRUploadBase {
 public:
  CUploadArticles();
  bool SetIsActive(bool value);
  bool SetNumber(const std::string& value);
  bool SetName(const std::string& value);
  bool SetNameEnglish(const std::string& value);
  bool SetNetPrice(const std::string& value);    // "123.45" or empty
  bool SetGrossPrice(const std::string& value);  // "123.45" or empty
  bool SetUnitCode(const std::string& value);
  bool SetUnitName(const std::string& value);
  bool SetArticleAccountCode(const std::string& value);
  bool SetArticleAccountName(const std::string& value);
  bool SetIsMolnixAccountCode(bool value);
  bool SetStockBalance(const std::string& value);
  bool SetRotRutType(int value);
  int AddArticle();
  void ResetArticle();
};

class CUploadCustomers : public KLCRUploadBase {
 public:
  CUploadCustomers();
  bool SetCustomerNumber(const std::string& value);
  bool SetCorporateIdentityNumber(const std::string& value);
  bool SetContactPersonEmail(const std::string& value);
  bool SetContactPersonMobile(const std::string& value);
  bool SetContactPersonName(const std::string& value);
  bool SetContactPersonPhone(const std::string& value);
  bool SetCurrencyCode(const std::string& value);
  bool SetGLN(const std::string& value);
  bool SetEmailAddress(const std::string& value);
  bool SetInvoiceAddress1(const std::string& value);
  bool SetInvoiceAddress2(const std::string& value);
  bool SetInvoiceCity(const std::string& value);
  bool SetInvoiceCountryCode(const std::string& value);
  bool SetInvoicePostalCode(const std::string& value);
  bool SetDeliveryCustomerName(const std::string& value);
  bool SetDeliveryAddress1(const std::string& value);
  bool SetDeliveryAddress2(const std::string& value);
  bool SetDeliveryCity(const std::string& value);
  bool SetDeliveryCountryCode(const std::string& value);
  bool SetDeliveryPostalCode(const std::string& value);
  bool SetDeliveryMethodCode(const std::string& value);
  bool SetDeliveryTermCode(const std::string& value);
  bool SetName(const std::string& value);
  bool SetNote(const std::string& value);
  bool SetReverseChargeOnConstructionServices(bool value);
  bool SetMobilePhone(const std::string& value);
  bool SetTelephone(const std::string& value);
  bool SetTermsOfPaymentCode(const std::string& value);
  bool SetTermsOfPaymentName(const std::string& value);
  bool SetVatNumber(const std::string& value);
  bool SetWwwAddress(const std::string& value);
  bool SetIsPrivatePerson(bool value);
  bool SetElectronicReference(const std::string& value);
  int AddCustomer();
  void ResetCustomer();
};

class CUploadSuppliers : public KLCRUploadBase {
 public:
  CUploadSuppliers();
  bool SetSupplierNumber(const std::string& value);
  bool SetAddress1(const std::string& value);
  bool SetAddress2(const std::string& value);
  bool SetAutomaticPaymentService(bool value);
  bool SetSupplierBankAccountNumber(const std::string& value);
  bool SetSupplierBankBban(const std::string& value);
  bool SetSupplierBankBic(const std::string& value);
  bool SetSupplierBankCode(const std::string& value);
  bool SetSupplierBankCountryCode(const std::string& value);
  bool SetSupplierBankgiroNumber(const std::string& value);
  bool SetSupplierBankIban(const std::string& value);
  bool SetSupplierBankName(const std::string& value);
  bool SetCity(const std::string& value);
  bool SetContactPersonEmail(const std::string& value);
  bool SetContactPersonMobile(const std::string& value);
  bool SetContactPersonName(const std::string& value);
  bool SetContactPersonPhone(const std::string& value);
  bool SetCorporateIdentityNumber(const std::string& value);
  bool SetCountryCode(const std::string& value);
  bool SetCurrencyCode(const std::string& value);
  bool SetEmailAddress(const std::string& value);
  bool SetMobilePhone(const std::string& value);
  bool SetName(const std::string& value);
  bool SetNote(const std::string& value);
  bool SetSupplierPlusgiroNumber(const std::string& value);
  bool SetPostalCode(const std::string& value);
  bool SetTelephone(const std::string& value);
  bool SetTermsOfPaymentCode(const std::string& value);
  bool SetTermsOfPaymentName(const std::string& value);
  bool SetWwwAddress(const std::string& value);
  bool SetBankFeeCode(const std::string& value);
  bool SetForeignPaymentCode(const std::string& value);
  bool SetUsesPaymentReferenceNumbers(bool value);
  int AddSupplier();
  void ResetSupplier();
};

class CUploadDeliveryTerms : public KLCRUploadBase {
 public:
  CUploadDeliveryTerms();
  bool SetCode(const std::string& value);
  bool SetName(const std::string& value);
  int AddDeliveryTerm();
  void ResetDeliveryTerm();
};

class CUploadDeliveryMethods : public KLCRUploadBase {
 public:
  CUploadDeliveryMethods();
  bool SetCode(const std::string& value);
  bool SetName(const std::string& value);
  int AddDeliveryMethod();
  void ResetDeliveryMethod();
};

// Dates are "YYYY-MM-DD", amounts and rates "-1234.50" (or empty).
class CUploadCustomerLedgerItems : public KLCRUploadBase {
 public:
  CUploadCustomerLedgerItems();
  bool SetIsCreditInvoice(bool value);
  bool SetInvoiceNumber(int value);
  bool SetCustomerNumber(const std::string& value);
  bool SetCustomerName(const std::string& value);
  bool SetCustomerAddress1(const std::string& value);
  bool SetCustomerAddress2(const std::string& value);
  bool SetCustomerCity(const std::string& value);
  bool SetCustomerCountry(const std::string& value);
  bool SetCustomerPostalCode(const std::string& value);
  bool SetInvoiceDate(const std::string& value);
  bool SetDueDate(const std::string& value);
  bool SetPaymentReferenceNumber(const std::string& value);
  bool SetCurrencyCode(const std::string& value);
  bool SetCurrencyRate(const std::string& value);
  bool SetCurrencyRateUnit(int value);
  bool SetCustomerLedgerAccountNumber(int value);
  bool SetTotalAmountInvoiceCurrency(const std::string& value);
  bool SetRemainingAmountInvoiceCurrency(const std::string& value);
  bool SetVatAmountHigh(const std::string& value);
  bool SetVatAmountMiddle(const std::string& value);
  bool SetVatAmountLow(const std::string& value);
  int AddLedgerItem();
  void ResetLedgerItem();
};

class CUploadSupplierLedgerItems : public KLCRUploadBase {
 public:
  CUploadSupplierLedgerItems();
  bool SetInvoiceId(const std::string& value);
  bool SetIsCreditInvoice(bool value);
  bool SetSupplierInvoiceNumber(const std::string& value);
  bool SetSupplierNumber(const std::string& value);
  bool SetSupplierName(const std::string& value);
  bool SetSupplierCountry(const std::string& value);
  bool SetSupplierBankCountryCode(const std::string& value);
  bool SetInvoiceDate(const std::string& value);
  bool SetDueDate(const std::string& value);
  bool SetPaymentReferenceNumber(const std::string& value);
  bool SetPaymentMessage(const std::string& value);
  bool SetIsUsingTotalVatAmount(bool value);
  bool SetTotalVatAmount(const std::string& value);
  bool SetVatAmountHigh(const std::string& value);
  bool SetVatAmountMiddle(const std::string& value);
  bool SetVatAmountLow(const std::string& value);
  bool SetCurrencyCode(const std::string& value);
  bool SetCurrencyRate(const std::string& value);
  bool SetCurrencyRateUnit(int value);
  bool SetSupplierLedgerAccountNumber(int value);
  bool SetTotalAmountInvoiceCurrency(const std::string& value);
  bool SetRemainingAmountInvoiceCurrency(const std::string& value);
  int AddLedgerItem();
  void ResetLedgerItem();
};

// The SIE files of the current and, when there is one, the previous year,
// sent byte for byte.
class CUploadSieFile : public KLCRestApiToken, public KLCRReturnsErrorInfo {
 public:
  bool SetFilePath(const std::string& path);
  bool SetFilePathPreviousYear(const std::string& path);  // empty: none
  int Call() override;

 private:
  std::string filePath_;
  std::string filePathPreviousYear_;
};

}  // namespace KLCR_MolnixMigration
