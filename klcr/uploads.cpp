// The upload classes: what each kind's records hold and what the service
// accepts in each field (lengths in characters), and the common Add/Reset/send.
#include <algorithm>
#include <charconv>
#include <cstring>

#include "klcr/klcr.h"
#include "klcr/record_schema.h"
#include "klcr/service.h"

namespace KLCR_MolnixMigration {
namespace detail {
namespace {
constexpr FieldSpec Text(const char* json, std::size_t maxChars, int missingCode = 0) {
  return {json, FieldType::Text, maxChars, FieldFormat::Free, missingCode};
}
constexpr FieldSpec Date(const char* json, int missingCode = 0) {
  return {json, FieldType::Text, 10, FieldFormat::Date, missingCode};
}
constexpr FieldSpec Amount(const char* json) { return {json, FieldType::Text, 20, FieldFormat::Amount, 0}; }
constexpr FieldSpec Bool(const char* json) { return {json, FieldType::Bool}; }
constexpr FieldSpec Int(const char* json) { return {json, FieldType::Int}; }
}  // namespace
}  // namespace detail

namespace {
using namespace detail;
using klcr::kFieldArticleNameMissing, klcr::kFieldCityMissing, klcr::kFieldCustomerNumberMissing,
    klcr::kFieldDueDateMissing, klcr::kFieldNameMissing, klcr::kFieldNumberMissing, klcr::kFieldPostalCodeMissing,
    klcr::kFieldRequiredMissing, klcr::kFieldSupplierNumberMissing;


// CompanySettings: field order is the order of the setters.
enum class CompanySettingsField { CorporateIdentityNumber, Name, Address1, Address2, PostalCode, City, Phone, Mobile, Email, Web, VatNumber, BankgiroNumber, PlusgiroNumber, Residence, EdiGlnNumber, HasFTaxCard, UsesReversedConstructionVat, UsesMiddlemansSaleOfGoodsEc, UsesRotReducedInvoicing, UsesMoss, NextCustomerInvoiceNumber, NextCustomerOrderNumber, NextCustomerQuoteNumber, ExportApplication, CompanyType, CompanyBankBic, CompanyBankAccountBban, CompanyBankAccountIban, VatPeriod };
const RecordSchema kCompanySettingsSchema{
    "companySettings",
    {
        Text("corporateIdentityNumber", 20),
        Text("name", 100),
        Text("address1", 100),
        Text("address2", 100),
        Text("postalCode", 10),
        Text("city", 50),
        Text("phone", 30),
        Text("mobile", 30),
        Text("email", 254),
        Text("web", 200),
        Text("vatNumber", 20),
        Text("bankgiroNumber", 20),
        Text("plusgiroNumber", 20),
        Text("residence", 50),
        Text("ediGlnNumber", 20),
        Bool("hasFTaxCard"),
        Bool("usesReversedConstructionVat"),
        Bool("usesMiddlemansSaleOfGoodsEc"),
        Bool("usesRotReducedInvoicing"),
        Bool("usesMoss"),
        Int("nextCustomerInvoiceNumber"),
        Int("nextCustomerOrderNumber"),
        Int("nextCustomerQuoteNumber"),
        Int("exportApplication"),
        Int("companyType"),
        Text("companyBankBic", 11),
        Text("companyBankAccountBban", 30),
        Text("companyBankAccountIban", 34),
        Int("vatPeriod"),
    },
    -1};

// Articles: field order is the order of the setters.
enum class ArticlesField { IsActive, Number, Name, NameEnglish, NetPrice, GrossPrice, UnitCode, UnitName, ArticleAccountCode, ArticleAccountName, IsMolnixAccountCode, StockBalance, RotRutType };
const RecordSchema kArticlesSchema{
    "articles",
    {
        Bool("isActive"),
        Text("number", 40, kFieldNumberMissing),
        Text("name", 100, kFieldArticleNameMissing),
        Text("nameEnglish", 100),
        Amount("netPrice"),
        Amount("grossPrice"),
        Text("unitCode", 10),
        Text("unitName", 30),
        Text("articleAccountCode", 10, kFieldRequiredMissing),
        Text("articleAccountName", 100),
        Bool("isMolnixAccountCode"),
        Amount("stockBalance"),
        Int("rotRutType"),
    },
    static_cast<int>(ArticlesField::Number)};

// Customers: field order is the order of the setters.
enum class CustomersField { CustomerNumber, CorporateIdentityNumber, ContactPersonEmail, ContactPersonMobile, ContactPersonName, ContactPersonPhone, CurrencyCode, GLN, EmailAddress, InvoiceAddress1, InvoiceAddress2, InvoiceCity, InvoiceCountryCode, InvoicePostalCode, DeliveryCustomerName, DeliveryAddress1, DeliveryAddress2, DeliveryCity, DeliveryCountryCode, DeliveryPostalCode, DeliveryMethodCode, DeliveryTermCode, Name, Note, ReverseChargeOnConstructionServices, MobilePhone, Telephone, TermsOfPaymentCode, TermsOfPaymentName, VatNumber, WwwAddress, IsPrivatePerson, ElectronicReference };
const RecordSchema kCustomersSchema{
    "customers",
    {
        Text("customerNumber", 20, kFieldCustomerNumberMissing),
        Text("corporateIdentityNumber", 20),
        Text("contactPersonEmail", 254),
        Text("contactPersonMobile", 30),
        Text("contactPersonName", 100),
        Text("contactPersonPhone", 30),
        Text("currencyCode", 3),
        Text("gln", 20),
        Text("emailAddress", 254),
        Text("invoiceAddress1", 100),
        Text("invoiceAddress2", 100),
        Text("invoiceCity", 50, kFieldCityMissing),
        Text("invoiceCountryCode", 2),
        Text("invoicePostalCode", 10, kFieldPostalCodeMissing),
        Text("deliveryCustomerName", 100),
        Text("deliveryAddress1", 100),
        Text("deliveryAddress2", 100),
        Text("deliveryCity", 50),
        Text("deliveryCountryCode", 2),
        Text("deliveryPostalCode", 10),
        Text("deliveryMethodCode", 10),
        Text("deliveryTermCode", 10),
        Text("name", 100, kFieldNameMissing),
        Text("note", 1000),
        Bool("reverseChargeOnConstructionServices"),
        Text("mobilePhone", 30),
        Text("telephone", 30),
        Text("termsOfPaymentCode", 10),
        Text("termsOfPaymentName", 50),
        Text("vatNumber", 20),
        Text("wwwAddress", 200),
        Bool("isPrivatePerson"),
        Text("electronicReference", 100),
    },
    static_cast<int>(CustomersField::CustomerNumber)};

// Suppliers: field order is the order of the setters.
enum class SuppliersField { SupplierNumber, Address1, Address2, AutomaticPaymentService, SupplierBankAccountNumber, SupplierBankBban, SupplierBankBic, SupplierBankCode, SupplierBankCountryCode, SupplierBankgiroNumber, SupplierBankIban, SupplierBankName, City, ContactPersonEmail, ContactPersonMobile, ContactPersonName, ContactPersonPhone, CorporateIdentityNumber, CountryCode, CurrencyCode, EmailAddress, MobilePhone, Name, Note, SupplierPlusgiroNumber, PostalCode, Telephone, TermsOfPaymentCode, TermsOfPaymentName, WwwAddress, BankFeeCode, ForeignPaymentCode, UsesPaymentReferenceNumbers };
const RecordSchema kSuppliersSchema{
    "suppliers",
    {
        Text("supplierNumber", 20, kFieldSupplierNumberMissing),
        Text("address1", 100),
        Text("address2", 100),
        Bool("automaticPaymentService"),
        Text("supplierBankAccountNumber", 30),
        Text("supplierBankBban", 30),
        Text("supplierBankBic", 11),
        Text("supplierBankCode", 10),
        Text("supplierBankCountryCode", 2),
        Text("supplierBankgiroNumber", 20),
        Text("supplierBankIban", 34),
        Text("supplierBankName", 100),
        Text("city", 50),
        Text("contactPersonEmail", 254),
        Text("contactPersonMobile", 30),
        Text("contactPersonName", 100),
        Text("contactPersonPhone", 30),
        Text("corporateIdentityNumber", 20),
        Text("countryCode", 2),
        Text("currencyCode", 3),
        Text("emailAddress", 254),
        Text("mobilePhone", 30),
        Text("name", 100, kFieldNameMissing),
        Text("note", 1000),
        Text("supplierPlusgiroNumber", 20),
        Text("postalCode", 10),
        Text("telephone", 30),
        Text("termsOfPaymentCode", 10),
        Text("termsOfPaymentName", 50),
        Text("wwwAddress", 200),
        Text("bankFeeCode", 10),
        Text("foreignPaymentCode", 10),
        Bool("usesPaymentReferenceNumbers"),
    },
    static_cast<int>(SuppliersField::SupplierNumber)};

// DeliveryTerms: field order is the order of the setters.
enum class DeliveryTermsField { Code, Name };
const RecordSchema kDeliveryTermsSchema{
    "deliveryTerms",
    {
        Text("code", 10, kFieldNumberMissing),
        Text("name", 50, kFieldNameMissing),
    },
    static_cast<int>(DeliveryTermsField::Code)};

// DeliveryMethods: field order is the order of the setters.
enum class DeliveryMethodsField { Code, Name };
const RecordSchema kDeliveryMethodsSchema{
    "deliveryMethods",
    {
        Text("code", 10, kFieldNumberMissing),
        Text("name", 50, kFieldNameMissing),
    },
    static_cast<int>(DeliveryMethodsField::Code)};

// CustomerLedgerItems: field order is the order of the setters.
enum class CustomerLedgerItemsField { IsCreditInvoice, InvoiceNumber, CustomerNumber, CustomerName, CustomerAddress1, CustomerAddress2, CustomerCity, CustomerCountry, CustomerPostalCode, InvoiceDate, DueDate, PaymentReferenceNumber, CurrencyCode, CurrencyRate, CurrencyRateUnit, CustomerLedgerAccountNumber, TotalAmountInvoiceCurrency, RemainingAmountInvoiceCurrency, VatAmountHigh, VatAmountMiddle, VatAmountLow };
const RecordSchema kCustomerLedgerItemsSchema{
    "customerLedgerItems",
    {
        Bool("isCreditInvoice"),
        Int("invoiceNumber"),
        Text("customerNumber", 20, kFieldCustomerNumberMissing),
        Text("customerName", 100),
        Text("customerAddress1", 100),
        Text("customerAddress2", 100),
        Text("customerCity", 50),
        Text("customerCountry", 50),
        Text("customerPostalCode", 10),
        Date("invoiceDate"),
        Date("dueDate", kFieldDueDateMissing),
        Text("paymentReferenceNumber", 30),
        Text("currencyCode", 3),
        Amount("currencyRate"),
        Int("currencyRateUnit"),
        Int("customerLedgerAccountNumber"),
        Amount("totalAmountInvoiceCurrency"),
        Amount("remainingAmountInvoiceCurrency"),
        Amount("vatAmountHigh"),
        Amount("vatAmountMiddle"),
        Amount("vatAmountLow"),
    },
    -1};

// SupplierLedgerItems: field order is the order of the setters.
enum class SupplierLedgerItemsField { InvoiceId, IsCreditInvoice, SupplierInvoiceNumber, SupplierNumber, SupplierName, SupplierCountry, SupplierBankCountryCode, InvoiceDate, DueDate, PaymentReferenceNumber, PaymentMessage, IsUsingTotalVatAmount, TotalVatAmount, VatAmountHigh, VatAmountMiddle, VatAmountLow, CurrencyCode, CurrencyRate, CurrencyRateUnit, SupplierLedgerAccountNumber, TotalAmountInvoiceCurrency, RemainingAmountInvoiceCurrency };
const RecordSchema kSupplierLedgerItemsSchema{
    "supplierLedgerItems",
    {
        Text("invoiceId", 30),
        Bool("isCreditInvoice"),
        Text("supplierInvoiceNumber", 30),
        Text("supplierNumber", 20, kFieldSupplierNumberMissing),
        Text("supplierName", 100),
        Text("supplierCountry", 50),
        Text("supplierBankCountryCode", 2),
        Date("invoiceDate"),
        Date("dueDate", kFieldDueDateMissing),
        Text("paymentReferenceNumber", 30),
        Text("paymentMessage", 100),
        Bool("isUsingTotalVatAmount"),
        Amount("totalVatAmount"),
        Amount("vatAmountHigh"),
        Amount("vatAmountMiddle"),
        Amount("vatAmountLow"),
        Text("currencyCode", 3),
        Amount("currencyRate"),
        Int("currencyRateUnit"),
        Int("supplierLedgerAccountNumber"),
        Amount("totalAmountInvoiceCurrency"),
        Amount("remainingAmountInvoiceCurrency"),
    },
    -1};
}  // namespace

KLCRUploadBase::KLCRUploadBase(const RecordSchema& schema) : store_(std::make_unique<RecordStore>(schema)) {}
KLCRUploadBase::~KLCRUploadBase() = default;

std::size_t KLCRUploadBase::GetCount() const { return store_->count; }

bool KLCRUploadBase::SetText(int field, const std::string& value) {
  store_->texts[field] = value;
  return true;
}

bool KLCRUploadBase::SetBool(int field, bool value) {
  store_->scalars[field] = value ? "true" : "false";
  return true;
}

bool KLCRUploadBase::SetInt(int field, int value) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  store_->scalars[field].assign(digits, end);
  return true;
}

int KLCRUploadBase::AddCurrent() {
  if (const int code = CheckRecord(*store_); code != klcr::kFieldOk) return code;
  store_->json.clear();
  if (store_->count) store_->json += ',';
  AppendRecordJson(*store_, store_->json);
  // The first piece is small, as many registers hold a handful of records; the
  // rest are whole huge pages.
  constexpr std::size_t kFirstPieceBytes = std::size_t{64} << 10;
  constexpr std::size_t kPieceBytes = std::size_t{2} << 20;
  std::vector<RecordPiece>& accepted = store_->accepted;
  if (accepted.empty() || accepted.back().block.size() - accepted.back().used < store_->json.size()) {
    const std::size_t bytes = accepted.empty() ? kFirstPieceBytes : kPieceBytes;
    accepted.push_back({platform::WritableBlock(std::max(bytes, store_->json.size())), 0});
  }
  RecordPiece& piece = accepted.back();
  std::memcpy(piece.block.data() + piece.used, store_->json.data(), store_->json.size());
  piece.used += store_->json.size();
  if (store_->schema.keyField >= 0) store_->keys.insert(store_->texts[store_->schema.keyField]);
  ++store_->count;
  store_->ClearCurrent();
  return klcr::kFieldOk;
}

void KLCRUploadBase::ResetCurrent() { store_->ClearCurrent(); }

int KLCRUploadBase::Call() {
  std::size_t size = 0;
  for (const RecordPiece& piece : store_->accepted) size += piece.used;
  std::string body;
  body.reserve(size + 16);
  body += "{\"records\":[";
  for (const RecordPiece& piece : store_->accepted) body += piece.text();
  body += "]}";
  return klcr::detail::PutUpload(ApiToken(), store_->schema.kind, body, store_->count);
}

int KLCRUploadBase::SendCurrent() {
  // Checked as Add checks a record, so nothing goes out that is not UTF-8 JSON or
  // that the service would not take.
  const char* field = nullptr;
  if (const int code = CheckRecord(*store_, &field); code != klcr::kFieldOk) {
    klcr::detail::Log(std::string("Uppgifterna skickades inte (") + store_->schema.kind + "): fältet " + field + ": " +
                      GetFieldErrorText(code, klcr::kSwedish));
    return klcr::kRecordNotAccepted;
  }
  std::string body = "{\"records\":[";
  AppendRecordJson(*store_, body);
  body += "]}";
  return klcr::detail::PutUpload(ApiToken(), store_->schema.kind, body, 1);
}

int CUploadCompanySettings::Call() { return SendCurrent(); }

CUploadCompanySettings::CUploadCompanySettings() : KLCRUploadBase(kCompanySettingsSchema) {}
bool CUploadCompanySettings::SetCorporateIdentityNumber(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::CorporateIdentityNumber), value); }
bool CUploadCompanySettings::SetName(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Name), value); }
bool CUploadCompanySettings::SetAddress1(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Address1), value); }
bool CUploadCompanySettings::SetAddress2(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Address2), value); }
bool CUploadCompanySettings::SetPostalCode(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::PostalCode), value); }
bool CUploadCompanySettings::SetCity(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::City), value); }
bool CUploadCompanySettings::SetPhone(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Phone), value); }
bool CUploadCompanySettings::SetMobile(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Mobile), value); }
bool CUploadCompanySettings::SetEmail(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Email), value); }
bool CUploadCompanySettings::SetWeb(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Web), value); }
bool CUploadCompanySettings::SetVatNumber(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::VatNumber), value); }
bool CUploadCompanySettings::SetBankgiroNumber(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::BankgiroNumber), value); }
bool CUploadCompanySettings::SetPlusgiroNumber(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::PlusgiroNumber), value); }
bool CUploadCompanySettings::SetResidence(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::Residence), value); }
bool CUploadCompanySettings::SetEdiGlnNumber(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::EdiGlnNumber), value); }
bool CUploadCompanySettings::SetHasFTaxCard(bool value) { return SetBool(static_cast<int>(CompanySettingsField::HasFTaxCard), value); }
bool CUploadCompanySettings::SetUsesReversedConstructionVat(bool value) { return SetBool(static_cast<int>(CompanySettingsField::UsesReversedConstructionVat), value); }
bool CUploadCompanySettings::SetUsesMiddlemansSaleOfGoodsEc(bool value) { return SetBool(static_cast<int>(CompanySettingsField::UsesMiddlemansSaleOfGoodsEc), value); }
bool CUploadCompanySettings::SetUsesRotReducedInvoicing(bool value) { return SetBool(static_cast<int>(CompanySettingsField::UsesRotReducedInvoicing), value); }
bool CUploadCompanySettings::SetUsesMoss(bool value) { return SetBool(static_cast<int>(CompanySettingsField::UsesMoss), value); }
bool CUploadCompanySettings::SetNextCustomerInvoiceNumber(int value) { return SetInt(static_cast<int>(CompanySettingsField::NextCustomerInvoiceNumber), value); }
bool CUploadCompanySettings::SetNextCustomerOrderNumber(int value) { return SetInt(static_cast<int>(CompanySettingsField::NextCustomerOrderNumber), value); }
bool CUploadCompanySettings::SetNextCustomerQuoteNumber(int value) { return SetInt(static_cast<int>(CompanySettingsField::NextCustomerQuoteNumber), value); }
bool CUploadCompanySettings::ExportApplication(int value) { return SetInt(static_cast<int>(CompanySettingsField::ExportApplication), value); }
bool CUploadCompanySettings::CompanyType(int value) { return SetInt(static_cast<int>(CompanySettingsField::CompanyType), value); }
bool CUploadCompanySettings::CompanyBankBic(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::CompanyBankBic), value); }
bool CUploadCompanySettings::CompanyBankAccountBban(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::CompanyBankAccountBban), value); }
bool CUploadCompanySettings::CompanyBankAccountIban(const std::string& value) { return SetText(static_cast<int>(CompanySettingsField::CompanyBankAccountIban), value); }
bool CUploadCompanySettings::VatPeriod(int value) { return SetInt(static_cast<int>(CompanySettingsField::VatPeriod), value); }

CUploadArticles::CUploadArticles() : KLCRUploadBase(kArticlesSchema) {}
bool CUploadArticles::SetIsActive(bool value) { return SetBool(static_cast<int>(ArticlesField::IsActive), value); }
bool CUploadArticles::SetNumber(const std::string& value) { return SetText(static_cast<int>(ArticlesField::Number), value); }
bool CUploadArticles::SetName(const std::string& value) { return SetText(static_cast<int>(ArticlesField::Name), value); }
bool CUploadArticles::SetNameEnglish(const std::string& value) { return SetText(static_cast<int>(ArticlesField::NameEnglish), value); }
bool CUploadArticles::SetNetPrice(const std::string& value) { return SetText(static_cast<int>(ArticlesField::NetPrice), value); }
bool CUploadArticles::SetGrossPrice(const std::string& value) { return SetText(static_cast<int>(ArticlesField::GrossPrice), value); }
bool CUploadArticles::SetUnitCode(const std::string& value) { return SetText(static_cast<int>(ArticlesField::UnitCode), value); }
bool CUploadArticles::SetUnitName(const std::string& value) { return SetText(static_cast<int>(ArticlesField::UnitName), value); }
bool CUploadArticles::SetArticleAccountCode(const std::string& value) { return SetText(static_cast<int>(ArticlesField::ArticleAccountCode), value); }
bool CUploadArticles::SetArticleAccountName(const std::string& value) { return SetText(static_cast<int>(ArticlesField::ArticleAccountName), value); }
bool CUploadArticles::SetIsMolnixAccountCode(bool value) { return SetBool(static_cast<int>(ArticlesField::IsMolnixAccountCode), value); }
bool CUploadArticles::SetStockBalance(const std::string& value) { return SetText(static_cast<int>(ArticlesField::StockBalance), value); }
bool CUploadArticles::SetRotRutType(int value) { return SetInt(static_cast<int>(ArticlesField::RotRutType), value); }
int CUploadArticles::AddArticle() { return AddCurrent(); }
void CUploadArticles::ResetArticle() { ResetCurrent(); }

CUploadCustomers::CUploadCustomers() : KLCRUploadBase(kCustomersSchema) {}
bool CUploadCustomers::SetCustomerNumber(const std::string& value) { return SetText(static_cast<int>(CustomersField::CustomerNumber), value); }
bool CUploadCustomers::SetCorporateIdentityNumber(const std::string& value) { return SetText(static_cast<int>(CustomersField::CorporateIdentityNumber), value); }
bool CUploadCustomers::SetContactPersonEmail(const std::string& value) { return SetText(static_cast<int>(CustomersField::ContactPersonEmail), value); }
bool CUploadCustomers::SetContactPersonMobile(const std::string& value) { return SetText(static_cast<int>(CustomersField::ContactPersonMobile), value); }
bool CUploadCustomers::SetContactPersonName(const std::string& value) { return SetText(static_cast<int>(CustomersField::ContactPersonName), value); }
bool CUploadCustomers::SetContactPersonPhone(const std::string& value) { return SetText(static_cast<int>(CustomersField::ContactPersonPhone), value); }
bool CUploadCustomers::SetCurrencyCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::CurrencyCode), value); }
bool CUploadCustomers::SetGLN(const std::string& value) { return SetText(static_cast<int>(CustomersField::GLN), value); }
bool CUploadCustomers::SetEmailAddress(const std::string& value) { return SetText(static_cast<int>(CustomersField::EmailAddress), value); }
bool CUploadCustomers::SetInvoiceAddress1(const std::string& value) { return SetText(static_cast<int>(CustomersField::InvoiceAddress1), value); }
bool CUploadCustomers::SetInvoiceAddress2(const std::string& value) { return SetText(static_cast<int>(CustomersField::InvoiceAddress2), value); }
bool CUploadCustomers::SetInvoiceCity(const std::string& value) { return SetText(static_cast<int>(CustomersField::InvoiceCity), value); }
bool CUploadCustomers::SetInvoiceCountryCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::InvoiceCountryCode), value); }
bool CUploadCustomers::SetInvoicePostalCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::InvoicePostalCode), value); }
bool CUploadCustomers::SetDeliveryCustomerName(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryCustomerName), value); }
bool CUploadCustomers::SetDeliveryAddress1(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryAddress1), value); }
bool CUploadCustomers::SetDeliveryAddress2(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryAddress2), value); }
bool CUploadCustomers::SetDeliveryCity(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryCity), value); }
bool CUploadCustomers::SetDeliveryCountryCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryCountryCode), value); }
bool CUploadCustomers::SetDeliveryPostalCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryPostalCode), value); }
bool CUploadCustomers::SetDeliveryMethodCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryMethodCode), value); }
bool CUploadCustomers::SetDeliveryTermCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::DeliveryTermCode), value); }
bool CUploadCustomers::SetName(const std::string& value) { return SetText(static_cast<int>(CustomersField::Name), value); }
bool CUploadCustomers::SetNote(const std::string& value) { return SetText(static_cast<int>(CustomersField::Note), value); }
bool CUploadCustomers::SetReverseChargeOnConstructionServices(bool value) { return SetBool(static_cast<int>(CustomersField::ReverseChargeOnConstructionServices), value); }
bool CUploadCustomers::SetMobilePhone(const std::string& value) { return SetText(static_cast<int>(CustomersField::MobilePhone), value); }
bool CUploadCustomers::SetTelephone(const std::string& value) { return SetText(static_cast<int>(CustomersField::Telephone), value); }
bool CUploadCustomers::SetTermsOfPaymentCode(const std::string& value) { return SetText(static_cast<int>(CustomersField::TermsOfPaymentCode), value); }
bool CUploadCustomers::SetTermsOfPaymentName(const std::string& value) { return SetText(static_cast<int>(CustomersField::TermsOfPaymentName), value); }
bool CUploadCustomers::SetVatNumber(const std::string& value) { return SetText(static_cast<int>(CustomersField::VatNumber), value); }
bool CUploadCustomers::SetWwwAddress(const std::string& value) { return SetText(static_cast<int>(CustomersField::WwwAddress), value); }
bool CUploadCustomers::SetIsPrivatePerson(bool value) { return SetBool(static_cast<int>(CustomersField::IsPrivatePerson), value); }
bool CUploadCustomers::SetElectronicReference(const std::string& value) { return SetText(static_cast<int>(CustomersField::ElectronicReference), value); }
int CUploadCustomers::AddCustomer() { return AddCurrent(); }
void CUploadCustomers::ResetCustomer() { ResetCurrent(); }

CUploadSuppliers::CUploadSuppliers() : KLCRUploadBase(kSuppliersSchema) {}
bool CUploadSuppliers::SetSupplierNumber(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierNumber), value); }
bool CUploadSuppliers::SetAddress1(const std::string& value) { return SetText(static_cast<int>(SuppliersField::Address1), value); }
bool CUploadSuppliers::SetAddress2(const std::string& value) { return SetText(static_cast<int>(SuppliersField::Address2), value); }
bool CUploadSuppliers::SetAutomaticPaymentService(bool value) { return SetBool(static_cast<int>(SuppliersField::AutomaticPaymentService), value); }
bool CUploadSuppliers::SetSupplierBankAccountNumber(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankAccountNumber), value); }
bool CUploadSuppliers::SetSupplierBankBban(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankBban), value); }
bool CUploadSuppliers::SetSupplierBankBic(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankBic), value); }
bool CUploadSuppliers::SetSupplierBankCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankCode), value); }
bool CUploadSuppliers::SetSupplierBankCountryCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankCountryCode), value); }
bool CUploadSuppliers::SetSupplierBankgiroNumber(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankgiroNumber), value); }
bool CUploadSuppliers::SetSupplierBankIban(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankIban), value); }
bool CUploadSuppliers::SetSupplierBankName(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierBankName), value); }
bool CUploadSuppliers::SetCity(const std::string& value) { return SetText(static_cast<int>(SuppliersField::City), value); }
bool CUploadSuppliers::SetContactPersonEmail(const std::string& value) { return SetText(static_cast<int>(SuppliersField::ContactPersonEmail), value); }
bool CUploadSuppliers::SetContactPersonMobile(const std::string& value) { return SetText(static_cast<int>(SuppliersField::ContactPersonMobile), value); }
bool CUploadSuppliers::SetContactPersonName(const std::string& value) { return SetText(static_cast<int>(SuppliersField::ContactPersonName), value); }
bool CUploadSuppliers::SetContactPersonPhone(const std::string& value) { return SetText(static_cast<int>(SuppliersField::ContactPersonPhone), value); }
bool CUploadSuppliers::SetCorporateIdentityNumber(const std::string& value) { return SetText(static_cast<int>(SuppliersField::CorporateIdentityNumber), value); }
bool CUploadSuppliers::SetCountryCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::CountryCode), value); }
bool CUploadSuppliers::SetCurrencyCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::CurrencyCode), value); }
bool CUploadSuppliers::SetEmailAddress(const std::string& value) { return SetText(static_cast<int>(SuppliersField::EmailAddress), value); }
bool CUploadSuppliers::SetMobilePhone(const std::string& value) { return SetText(static_cast<int>(SuppliersField::MobilePhone), value); }
bool CUploadSuppliers::SetName(const std::string& value) { return SetText(static_cast<int>(SuppliersField::Name), value); }
bool CUploadSuppliers::SetNote(const std::string& value) { return SetText(static_cast<int>(SuppliersField::Note), value); }
bool CUploadSuppliers::SetSupplierPlusgiroNumber(const std::string& value) { return SetText(static_cast<int>(SuppliersField::SupplierPlusgiroNumber), value); }
bool CUploadSuppliers::SetPostalCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::PostalCode), value); }
bool CUploadSuppliers::SetTelephone(const std::string& value) { return SetText(static_cast<int>(SuppliersField::Telephone), value); }
bool CUploadSuppliers::SetTermsOfPaymentCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::TermsOfPaymentCode), value); }
bool CUploadSuppliers::SetTermsOfPaymentName(const std::string& value) { return SetText(static_cast<int>(SuppliersField::TermsOfPaymentName), value); }
bool CUploadSuppliers::SetWwwAddress(const std::string& value) { return SetText(static_cast<int>(SuppliersField::WwwAddress), value); }
bool CUploadSuppliers::SetBankFeeCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::BankFeeCode), value); }
bool CUploadSuppliers::SetForeignPaymentCode(const std::string& value) { return SetText(static_cast<int>(SuppliersField::ForeignPaymentCode), value); }
bool CUploadSuppliers::SetUsesPaymentReferenceNumbers(bool value) { return SetBool(static_cast<int>(SuppliersField::UsesPaymentReferenceNumbers), value); }
int CUploadSuppliers::AddSupplier() { return AddCurrent(); }
void CUploadSuppliers::ResetSupplier() { ResetCurrent(); }

CUploadDeliveryTerms::CUploadDeliveryTerms() : KLCRUploadBase(kDeliveryTermsSchema) {}
bool CUploadDeliveryTerms::SetCode(const std::string& value) { return SetText(static_cast<int>(DeliveryTermsField::Code), value); }
bool CUploadDeliveryTerms::SetName(const std::string& value) { return SetText(static_cast<int>(DeliveryTermsField::Name), value); }
int CUploadDeliveryTerms::AddDeliveryTerm() { return AddCurrent(); }
void CUploadDeliveryTerms::ResetDeliveryTerm() { ResetCurrent(); }

CUploadDeliveryMethods::CUploadDeliveryMethods() : KLCRUploadBase(kDeliveryMethodsSchema) {}
bool CUploadDeliveryMethods::SetCode(const std::string& value) { return SetText(static_cast<int>(DeliveryMethodsField::Code), value); }
bool CUploadDeliveryMethods::SetName(const std::string& value) { return SetText(static_cast<int>(DeliveryMethodsField::Name), value); }
int CUploadDeliveryMethods::AddDeliveryMethod() { return AddCurrent(); }
void CUploadDeliveryMethods::ResetDeliveryMethod() { ResetCurrent(); }

CUploadCustomerLedgerItems::CUploadCustomerLedgerItems() : KLCRUploadBase(kCustomerLedgerItemsSchema) {}
bool CUploadCustomerLedgerItems::SetIsCreditInvoice(bool value) { return SetBool(static_cast<int>(CustomerLedgerItemsField::IsCreditInvoice), value); }
bool CUploadCustomerLedgerItems::SetInvoiceNumber(int value) { return SetInt(static_cast<int>(CustomerLedgerItemsField::InvoiceNumber), value); }
bool CUploadCustomerLedgerItems::SetCustomerNumber(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerNumber), value); }
bool CUploadCustomerLedgerItems::SetCustomerName(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerName), value); }
bool CUploadCustomerLedgerItems::SetCustomerAddress1(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerAddress1), value); }
bool CUploadCustomerLedgerItems::SetCustomerAddress2(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerAddress2), value); }
bool CUploadCustomerLedgerItems::SetCustomerCity(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerCity), value); }
bool CUploadCustomerLedgerItems::SetCustomerCountry(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerCountry), value); }
bool CUploadCustomerLedgerItems::SetCustomerPostalCode(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CustomerPostalCode), value); }
bool CUploadCustomerLedgerItems::SetInvoiceDate(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::InvoiceDate), value); }
bool CUploadCustomerLedgerItems::SetDueDate(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::DueDate), value); }
bool CUploadCustomerLedgerItems::SetPaymentReferenceNumber(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::PaymentReferenceNumber), value); }
bool CUploadCustomerLedgerItems::SetCurrencyCode(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CurrencyCode), value); }
bool CUploadCustomerLedgerItems::SetCurrencyRate(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::CurrencyRate), value); }
bool CUploadCustomerLedgerItems::SetCurrencyRateUnit(int value) { return SetInt(static_cast<int>(CustomerLedgerItemsField::CurrencyRateUnit), value); }
bool CUploadCustomerLedgerItems::SetCustomerLedgerAccountNumber(int value) { return SetInt(static_cast<int>(CustomerLedgerItemsField::CustomerLedgerAccountNumber), value); }
bool CUploadCustomerLedgerItems::SetTotalAmountInvoiceCurrency(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::TotalAmountInvoiceCurrency), value); }
bool CUploadCustomerLedgerItems::SetRemainingAmountInvoiceCurrency(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::RemainingAmountInvoiceCurrency), value); }
bool CUploadCustomerLedgerItems::SetVatAmountHigh(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::VatAmountHigh), value); }
bool CUploadCustomerLedgerItems::SetVatAmountMiddle(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::VatAmountMiddle), value); }
bool CUploadCustomerLedgerItems::SetVatAmountLow(const std::string& value) { return SetText(static_cast<int>(CustomerLedgerItemsField::VatAmountLow), value); }
int CUploadCustomerLedgerItems::AddLedgerItem() { return AddCurrent(); }
void CUploadCustomerLedgerItems::ResetLedgerItem() { ResetCurrent(); }

CUploadSupplierLedgerItems::CUploadSupplierLedgerItems() : KLCRUploadBase(kSupplierLedgerItemsSchema) {}
bool CUploadSupplierLedgerItems::SetInvoiceId(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::InvoiceId), value); }
bool CUploadSupplierLedgerItems::SetIsCreditInvoice(bool value) { return SetBool(static_cast<int>(SupplierLedgerItemsField::IsCreditInvoice), value); }
bool CUploadSupplierLedgerItems::SetSupplierInvoiceNumber(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::SupplierInvoiceNumber), value); }
bool CUploadSupplierLedgerItems::SetSupplierNumber(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::SupplierNumber), value); }
bool CUploadSupplierLedgerItems::SetSupplierName(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::SupplierName), value); }
bool CUploadSupplierLedgerItems::SetSupplierCountry(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::SupplierCountry), value); }
bool CUploadSupplierLedgerItems::SetSupplierBankCountryCode(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::SupplierBankCountryCode), value); }
bool CUploadSupplierLedgerItems::SetInvoiceDate(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::InvoiceDate), value); }
bool CUploadSupplierLedgerItems::SetDueDate(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::DueDate), value); }
bool CUploadSupplierLedgerItems::SetPaymentReferenceNumber(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::PaymentReferenceNumber), value); }
bool CUploadSupplierLedgerItems::SetPaymentMessage(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::PaymentMessage), value); }
bool CUploadSupplierLedgerItems::SetIsUsingTotalVatAmount(bool value) { return SetBool(static_cast<int>(SupplierLedgerItemsField::IsUsingTotalVatAmount), value); }
bool CUploadSupplierLedgerItems::SetTotalVatAmount(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::TotalVatAmount), value); }
bool CUploadSupplierLedgerItems::SetVatAmountHigh(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::VatAmountHigh), value); }
bool CUploadSupplierLedgerItems::SetVatAmountMiddle(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::VatAmountMiddle), value); }
bool CUploadSupplierLedgerItems::SetVatAmountLow(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::VatAmountLow), value); }
bool CUploadSupplierLedgerItems::SetCurrencyCode(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::CurrencyCode), value); }
bool CUploadSupplierLedgerItems::SetCurrencyRate(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::CurrencyRate), value); }
bool CUploadSupplierLedgerItems::SetCurrencyRateUnit(int value) { return SetInt(static_cast<int>(SupplierLedgerItemsField::CurrencyRateUnit), value); }
bool CUploadSupplierLedgerItems::SetSupplierLedgerAccountNumber(int value) { return SetInt(static_cast<int>(SupplierLedgerItemsField::SupplierLedgerAccountNumber), value); }
bool CUploadSupplierLedgerItems::SetTotalAmountInvoiceCurrency(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::TotalAmountInvoiceCurrency), value); }
bool CUploadSupplierLedgerItems::SetRemainingAmountInvoiceCurrency(const std::string& value) { return SetText(static_cast<int>(SupplierLedgerItemsField::RemainingAmountInvoiceCurrency), value); }
int CUploadSupplierLedgerItems::AddLedgerItem() { return AddCurrent(); }
void CUploadSupplierLedgerItems::ResetLedgerItem() { ResetCurrent(); }

}  // namespace KLCR_MolnixMigration
