#pragma once
// The open customer and supplier invoices of a Vardo company: LEDGER.DBF holds
// the open items of both ledgers, each row marked with its person type. The
// persons of the reader's type (name and ledger account, from PERSON.DBF) and
// the invoice dates (from INVOICE.DBF) are read once when the reader is made.
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "app/reader_interfaces/source_readers.h"
#include "sources/vardo/vardo_company_db.h"

namespace Vardo {

class CLedgerDb : public CVardoCompanyDb {
 public:
  // `personType`: 1 customers, 2 suppliers.
  CLedgerDb(std::string companyFolder, int personType);

 protected:
  static constexpr int kTable = vardo_table::kLedger;

  // The columns of LEDGER.DBF.
  struct Fields {
    VardoField persType{kTable, "PERSTYPE"}, ledType{kTable, "LEDTYPE"}, ledNo{kTable, "LEDNO"},
        yearNo{kTable, "YEARNO"}, persNo{kTable, "PERSNO"}, ivNo{kTable, "IVNO"}, currency{kTable, "CURRENCY"},
        residual{kTable, "RESIDUAL"}, fResidual{kTable, "FRESIDUAL"}, forAmount{kTable, "FORAMOUNT"},
        forVat{kTable, "FORVAT"}, rate{kTable, "RATE"}, ledDate{kTable, "LEDDATE"}, ledDueDate{kTable, "LEDDUEDATE"};
  };

  // The checks of an open item of this ledger; rows say why one is held back.
  bool CheckItem(std::vector<ReportRow>& rows);
  bool IsOfThisLedger() { return GetLong(ledger_.persType) == personType_; }
  bool IsCredit() { return GetLong(ledger_.ledType) == 1; }
  int InvoiceNumber() { return GetLong(ledger_.ledNo); }
  std::string Text(VardoField& field) { return GetString(field); }
  std::string Amount(VardoField& field) { return FormatAmount(GetDouble(field)); }
  std::string Rate();
  std::string PersonName();
  int LedgerAccount();
  // The invoice's own date when INVOICE.DBF has it, else the ledger row's.
  std::string InvoiceDate();
  std::string DueDate() { return FormatVardoDate(GetDate(ledger_.ledDueDate)); }

  Fields ledger_;

 private:
  struct Person {
    std::string ledgerAccount;  // ACC1
    std::string name;
  };

  const Person* FindPerson();
  void ReadPersons(const std::string& companyFolder);
  void ReadInvoiceDates(const std::string& companyFolder);

  int personType_;
  std::unordered_map<std::string, Person> persons_;  // by ID
  bool personsWhole_ = true;                         // whether PERSON.DBF was read whole
  std::map<std::pair<int, int>, int> invoiceDates_;   // (invoice number, year number) -> date value
  std::map<std::pair<int, int>, std::string> unreadInvoices_;  // invoices whose record does not read: what is damaged
  std::unordered_set<int> usedNumbers_;              // invoice numbers already let through
};

}  // namespace Vardo

class CVardoCustomerLedgerItems : public Vardo::CLedgerDb, public I_QZ_CustomerLedgerItems {
 public:
  explicit CVardoCustomerLedgerItems(std::string companyFolder) : CLedgerDb(std::move(companyFolder), 1) {}

  // From the 1000 edition on.
  bool IsAvailable() override;
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override { return CheckItem(rows); }
  bool IsCurrentCounted() override { return IsOfThisLedger(); }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  bool IsCreditInvoice() override { return IsCredit(); }
  int GetInvoiceNumber() override { return InvoiceNumber(); }
  std::string GetCustomerNumber() override { return Text(ledger_.persNo); }
  std::string GetCustomerName() override { return PersonName(); }
  std::string GetCustomerAddress1() override { return ""; }
  std::string GetCustomerAddress2() override { return ""; }
  std::string GetCustomerCity() override { return ""; }
  std::string GetCustomerCountry() override { return ""; }
  std::string GetCustomerPostalCode() override { return ""; }
  std::string GetInvoiceDate() override { return InvoiceDate(); }
  std::string GetDueDate() override { return DueDate(); }
  std::string GetPaymentReferenceNumber() override { return ""; }
  std::string GetCurrencyCode() override { return Text(ledger_.currency); }
  std::string GetCurrencyRate() override { return Rate(); }
  int GetCurrencyRateUnit() override { return 1; }
  int GetCustomerLedgerAccountNumber() override { return LedgerAccount(); }
  std::string GetTotalAmountInvoiceCurrency() override { return Amount(ledger_.forAmount); }
  std::string GetRemainingAmountInvoiceCurrency() override { return Amount(ledger_.fResidual); }
  std::string GetVatAmountHigh() override { return Amount(ledger_.forVat); }
  std::string GetVatAmountMiddle() override { return ""; }
  std::string GetVatAmountLow() override { return ""; }
};

class CVardoSupplierLedgerItems : public Vardo::CLedgerDb, public I_QZ_SupplierLedgerItems {
 public:
  explicit CVardoSupplierLedgerItems(std::string companyFolder) : CLedgerDb(std::move(companyFolder), 2) {}

  // From the 1500 edition on.
  bool IsAvailable() override;
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override { return CheckItem(rows); }
  bool IsCurrentCounted() override { return IsOfThisLedger(); }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  std::string GetInvoiceId() override { return FormatInteger(InvoiceNumber()); }
  bool IsCreditInvoice() override { return IsCredit(); }
  std::string GetSupplierInvoiceNumber() override { return Text(ledger_.ivNo); }
  std::string GetSupplierNumber() override { return Text(ledger_.persNo); }
  std::string GetSupplierName() override { return PersonName(); }
  std::string GetSupplierCountry() override { return ""; }
  std::string GetSupplierBankCountryCode() override { return ""; }
  std::string GetInvoiceDate() override { return InvoiceDate(); }
  std::string GetDueDate() override { return DueDate(); }
  // The supplier's invoice number, when its check digit makes it a payment reference.
  std::string GetPaymentReferenceNumber() override;
  std::string GetPaymentMessage() override { return Text(ledger_.ivNo); }
  bool IsUsingTotalVatAmount() override { return true; }
  std::string GetTotalVatAmount() override { return Amount(ledger_.forVat); }
  std::string GetVatAmountHigh() override { return ""; }
  std::string GetVatAmountMiddle() override { return ""; }
  std::string GetVatAmountLow() override { return ""; }
  std::string GetCurrencyCode() override { return Text(ledger_.currency); }
  std::string GetCurrencyRate() override { return Rate(); }
  int GetCurrencyRateUnit() override { return 1; }
  int GetSupplierLedgerAccountNumber() override { return LedgerAccount(); }
  std::string GetTotalAmountInvoiceCurrency() override { return Amount(ledger_.forAmount); }
  std::string GetRemainingAmountInvoiceCurrency() override { return Amount(ledger_.fResidual); }
};
