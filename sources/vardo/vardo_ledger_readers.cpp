#include "sources/vardo/vardo_ledger_readers.h"

#include "app/desktop/identity_number.h"
#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_person_readers.h"
#include "sources/vardo/vardo_reader_values.h"

namespace {

constexpr int kInvoice = 0;
constexpr int kCreditInvoice = 1;
constexpr int kInterestInvoice = 2;
constexpr int kOnAccountInvoice = 3;
constexpr int kSmallestCustomerLedgerEdition = 1000;
constexpr int kSmallestSupplierLedgerEdition = 1500;

}  // namespace

namespace Vardo {

CLedgerDb::CLedgerDb(std::string companyFolder, int personType)
    : CVardoCompanyDb(std::move(companyFolder), "LEDGER.DBF"), personType_(personType) {
  SetTableId(kTable);
  ReadPersons(CompanyFolder());
  ReadInvoiceDates(CompanyFolder());
}

// The person type is compared as a number: PERSON.DBF keeps it right-aligned
// ( " 1"), but a person stored as "1" is a customer all the same.
void CLedgerDb::ReadPersons(const std::string& companyFolder) {
  constexpr int kPersons = vardo_table::kPerson;
  CVardoCompanyDb persons(companyFolder, "PERSON.DBF");
  persons.SetTableId(kPersons);
  VardoPersonFields f;
  for (bool more = persons.MoveFirst(); more; more = persons.MoveNext()) {
    const int type = ReadVardoPersonType(persons, f);
    // A person whose type does not read may be one of this ledger: as lost as a record that cannot be read.
    if (type == kVardoUnreadableType) persons.CountAsUnreadable(VardoDamagedValuesText(persons.DamagedValues()));
    if (type != personType_) continue;
    persons_.try_emplace(persons.GetString(f.id), Person{persons.GetString(f.acc1), persons.GetString(f.name)});
  }
  personsWhole_ = persons.IsReadWhole();
  KeepDamageOf(persons,
               personType_ == kVardoCustomer ? "fakturornas kunder saknas" : "fakturornas leverantörer saknas");
}

void CLedgerDb::ReadInvoiceDates(const std::string& companyFolder) {
  constexpr int kInvoices = vardo_table::kInvoice;
  CVardoCompanyDb invoices(companyFolder, "INVOICE.DBF");
  invoices.SetTableId(kInvoices);
  VardoField index{kInvoices, "INVIX"}, personType{kInvoices, "PERSTYPE"}, type{kInvoices, "INVTYPE"},
      number{kInvoices, "INVNO"}, year{kInvoices, "YEARNO"}, date{kInvoices, "INVDATE"};
  const auto reads = [&invoices](VardoField& field) { return invoices.DamagedAmong({&field}).empty(); };
  for (bool more = invoices.MoveFirst(); more; more = invoices.MoveNext()) {
    // A record that reads as another index, ledger or kind dates nothing here, whatever else of it does not read.
    if ((reads(index) && invoices.GetLong(index) != 1) ||
        (reads(personType) && invoices.GetLong(personType) != personType_) ||
        (reads(type) && invoices.GetLong(type) >= 2)) {
      continue;
    }
    if (const auto damaged = invoices.DamagedAmong({&number, &year, &index, &personType, &type, &date});
        !damaged.empty()) {
      // An invoice whose number reads is known by it: its items are refused, never dated from a later record
      // (an earlier one wins anyway). One whose number does not read could be any invoice's.
      if (reads(number) && reads(year)) {
        const std::pair<int, int> key{invoices.GetLong(number), invoices.GetLong(year)};
        if (!invoiceDates_.contains(key)) unreadInvoices_.try_emplace(key, VardoDamagedValuesText(damaged));
      } else {
        invoices.CountAsUnreadable(VardoDamagedValuesText(damaged));
      }
      continue;
    }
    invoiceDates_.try_emplace({invoices.GetLong(number), invoices.GetLong(year)}, invoices.GetDate(date));
  }
  KeepDamageOf(invoices, "fakturadatum saknas");
}

bool CLedgerDb::CheckItem(std::vector<ReportRow>& rows) {
  // An item whose ledger does not read may be of either: as lost to both as an item that cannot be read.
  if (const auto damaged = DamagedAmong({&ledger_.persType}); !damaged.empty()) {
    CountAsUnreadable(VardoDamagedValuesText(damaged));
    return false;
  }
  if (!IsOfThisLedger()) return false;
  const int number = InvoiceNumber();
  // Every value of an item decides what goes: which items go, their numbers, amounts, rate and dates.
  const bool numberReads = DamagedAmong({&ledger_.ledNo}).empty();
  const auto refuseDamaged = [&](const std::vector<VardoDamagedValue>& damaged) {
    // Its number stays taken: an item of another year with that number is not sent in its place.
    if (numberReads) usedNumbers_.insert(number);
    rows.push_back(DamagedValuesRow(numberReads ? FormatInteger(number) : "", "", damaged, true));
    return false;
  };
  if (const auto damaged = DamagedAmong({&ledger_.ledType, &ledger_.ledNo, &ledger_.residual, &ledger_.fResidual});
      !damaged.empty()) {
    return refuseDamaged(damaged);
  }
  const auto refuse = [&](const char* caption, const std::string& text) {
    rows.push_back({FormatInteger(number), "", report::kError, caption, text});
    return false;
  };
  const int type = GetLong(ledger_.ledType);
  if (type == kInterestInvoice) return refuse(report::kCaptionInf, "Räntefaktura kan inte överföras.");
  if (type == kOnAccountInvoice) return refuse(report::kCaptionInf, "A-contofaktura kan inte överföras.");
  if (type != kInvoice && type != kCreditInvoice) return false;
  if (GetDouble(ledger_.residual) == 0.0) return false;  // paid
  const double remaining = GetDouble(ledger_.fResidual);
  if (remaining == 0.0) return false;
  if (const auto damaged = DamagedAmong({&ledger_.yearNo, &ledger_.forAmount, &ledger_.forVat, &ledger_.rate,
                                         &ledger_.ledDate, &ledger_.ledDueDate});
      !damaged.empty()) {
    return refuseDamaged(damaged);
  }
  // A credit invoice carries negative amounts: its remainder may not exceed its total in size either.
  const double total = GetDouble(ledger_.forAmount);
  if ((type == kInvoice && remaining > total) || (type == kCreditInvoice && total > remaining)) {
    return refuse(report::kCaptionError, "Saldo högre än total på fakturan.");
  }
  // Of a person table not read whole, a person not found may be one that was
  // lost: the invoice would go without its name and ledger account.
  if (!personsWhole_ && !FindPerson()) {
    return refuse(report::kCaptionError, personType_ == kVardoCustomer
                                             ? "Fakturans kund kunde inte läsas ur PERSON.DBF."
                                             : "Fakturans leverantör kunde inte läsas ur PERSON.DBF.");
  }
  if (!usedNumbers_.insert(number).second) {
    return refuse(report::kCaptionError, "Faktura med samma nr från annat år redan upplagd.");
  }
  if (const auto unread = unreadInvoices_.find({number, GetLong(ledger_.yearNo)}); unread != unreadInvoices_.end()) {
    return refuse(report::kCaptionError, "Fakturans datum kunde inte läsas ur INVOICE.DBF: " + unread->second + ".");
  }
  return true;
}

std::string CLedgerDb::Rate() { return vardo_values::FormatRate(GetDouble(ledger_.rate)); }

const CLedgerDb::Person* CLedgerDb::FindPerson() {
  const auto person = persons_.find(Text(ledger_.persNo));
  return person == persons_.end() ? nullptr : &person->second;
}

std::string CLedgerDb::PersonName() {
  const Person* person = FindPerson();
  return person ? person->name : std::string();
}

int CLedgerDb::LedgerAccount() {
  const Person* person = FindPerson();
  if (!person) return 0;
  const vardo_values::LeadingInteger account = vardo_values::ReadLeadingInteger(person->ledgerAccount);
  return account.found && !account.outOfRange ? account.value : 0;
}

std::string CLedgerDb::InvoiceDate() {
  const auto date = invoiceDates_.find({InvoiceNumber(), GetLong(ledger_.yearNo)});
  return FormatVardoDate(date != invoiceDates_.end() ? date->second : GetDate(ledger_.ledDate));
}

}  // namespace Vardo

bool CVardoCustomerLedgerItems::IsAvailable() {
  return IdentifyVardoCompany(CompanyFolder()).edition >= kSmallestCustomerLedgerEdition;
}

bool CVardoSupplierLedgerItems::IsAvailable() {
  return IdentifyVardoCompany(CompanyFolder()).edition >= kSmallestSupplierLedgerEdition;
}

std::string CVardoSupplierLedgerItems::GetPaymentReferenceNumber() {
  std::string number = Text(ledger_.ivNo);
  return !number.empty() && CheckLuhn(number) ? number : std::string();
}
