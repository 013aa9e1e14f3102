#include "sources/vardo/vardo_person_readers.h"

#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_reader_values.h"

namespace {

constexpr int kFirstPaymentTerm = 421;
constexpr int kLastPaymentTerm = 430;
constexpr int kLastDaysAsCode = 179;  // a term of more days goes by its text number
constexpr int kNoteHistoryType = 4;
constexpr const char* kCashTerm = "Kontant";
constexpr const char* kElectronicReferenceKey = "EDIYourRef";

// The postal line of a customer or a delivery address: ADR3, or ADR2 when
// ADR3 gives neither a postal code nor a city.
std::pair<std::string, std::string> CustomerPostalLine(const std::string& address2, const std::string& address3) {
  std::pair<std::string, std::string> line;
  if (!address3.empty()) SplitPostalCodeAndCity(address3.c_str(), line.first, line.second);
  if (line.first.empty() && line.second.empty() && !address2.empty()) {
    SplitPostalCodeAndCity(address2.c_str(), line.first, line.second);
  }
  return line;
}

}  // namespace

int ReadVardoPersonType(CVardoCompanyDb& persons, VardoPersonFields& fields) {
  const std::string type = persons.GetString(fields.type);
  if (!persons.DamagedAmong({&fields.type}).empty()) return kVardoUnreadableType;
  const vardo_values::LeadingInteger number = vardo_values::ReadLeadingInteger(type);
  return number.found && !number.outOfRange ? number.value : -1;
}

VardoPaymentTerms::VardoPaymentTerms(const std::string& companyFolder, CVardoCompanyDb& reader) {
  CVardoPaymentTermsDb texts(companyFolder);
  for (bool more = texts.MoveFirst(); more; more = texts.MoveNext()) {
    if (texts.PassUnreadableNumber()) continue;
    const int number = texts.GetTextNumber();
    if (number < kFirstPaymentTerm || number > kLastPaymentTerm) continue;
    std::string name = texts.GetTextName();
    if (!IsUsableTermName(name)) continue;
    terms_[number] = {std::move(name), texts.GetDaysFromName(), number};
  }
  reader.KeepDamageOf(texts, "betalningsvillkor saknas");
}

const VardoTermText* VardoPaymentTerms::Find(int credit) const {
  const auto term = terms_.find(TextNumberInRange(credit, kFirstPaymentTerm, kLastPaymentTerm));
  return term == terms_.end() ? nullptr : &term->second;
}

std::string VardoPaymentTerms::Code(int credit) const {
  const VardoTermText* term = Find(credit);
  if (!term) return "";
  if (term->name == kCashTerm) return "C";
  if (term->days >= 0 && term->days <= kLastDaysAsCode) return FormatInteger(term->days);
  return FormatInteger(term->textNumber);
}

std::string VardoPaymentTerms::Name(int credit) const {
  const VardoTermText* term = Find(credit);
  return term ? term->name : std::string();
}

CVardoDeliveryAddressDb::CVardoDeliveryAddressDb(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "PERSON.DBF") {
  SetTableId(vardo_table::kPerson);
}

CVardoHistoryDb::CVardoHistoryDb(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "HISTORY.DBF") {
  SetTableId(vardo_table::kHistory);
}

CVardoPersSettingsDB::CVardoPersSettingsDB(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "PERSSETTINGS.DBF") {
  SetTableId(vardo_table::kPersSettings);
}

CVardoPersonDb::CVardoPersonDb(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "PERSON.DBF"), paymentTerms_(CompanyFolder(), *this) {
  SetTableId(kTable);
}

// The other persons give nothing to the reader of a type (neither counted,
// sent nor reported), so its walk passes them here: a register of customers
// that ends before the suppliers' rows would otherwise be walked past all of
// them, the job looking at each.
bool CVardoPersonDb::MoveToType(bool found, int type) {
  for (int stored; found && (stored = GetPersonType()) != type; found = CVardoCompanyDb::MoveNext()) {
    if (stored == kVardoUnreadableType) CountAsUnreadable(VardoDamagedValuesText(DamagedAmong({&person_.type})));
  }
  return found;
}

bool CVardoPersonDb::CheckPerson(int type, std::vector<ReportRow>& rows,
                                 std::initializer_list<VardoField*> sentValues) {
  if (GetPersonType() != type) return false;
  // INACTIVE chooses who goes.
  if (const auto damaged = DamagedAmong({&person_.inactive}); !damaged.empty()) {
    rows.push_back(DamagedValuesRow(Text(person_.id), Text(person_.name), damaged, true));
    return false;
  }
  if (GetBool(person_.inactive)) return false;
  if (const auto damaged = DamagedAmong(sentValues); !damaged.empty()) {
    rows.push_back(DamagedValuesRow(Text(person_.id), Text(person_.name), damaged, false));
  }
  return true;
}

// ---------------------------------------------------------------------------
// Customers

// The look-ups are read whatever record the person table stands on first.
CVardoCustomerDb::CVardoCustomerDb(std::string companyFolder) : CVardoPersonDb(std::move(companyFolder)) {
  if (!IsUsable()) return;
  ReadDeliveryAddresses();
  ReadNotes();
  ReadDeliveryTermsAndMethods();
  ReadElectronicReferences();
}

bool CVardoCustomerDb::IsAvailable() { return IdentifyVardoCompany(CompanyFolder()).edition != 0; }

bool CVardoCustomerDb::MoveFirst() {
  SetTableId(kTable);
  return MoveToType(CVardoCompanyDb::MoveFirst(), kVardoCustomer);
}

void CVardoCustomerDb::ReadDeliveryAddresses() {
  CVardoDeliveryAddressDb persons(CompanyFolder());
  VardoPersonFields f;
  for (bool more = persons.MoveFirst(); more; more = persons.MoveNext()) {
    const int type = ReadVardoPersonType(persons, f);
    // A record whose type does not read may be a delivery address: as lost as one that cannot be read.
    if (type == kVardoUnreadableType) persons.CountAsUnreadable(VardoDamagedValuesText(persons.DamagedValues()));
    if (type != kVardoDeliveryAddress) continue;
    VardoDeliveryAddress address;
    address.name = persons.GetString(f.name);
    address.address1 = persons.GetString(f.adr1);
    const std::string address2 = persons.GetString(f.adr2);
    const std::string address3 = persons.GetString(f.adr3);
    if (!address3.empty()) address.address2 = address2;
    std::tie(address.postalCode, address.city) = CustomerPostalLine(address2, address3);
    address.country = persons.GetString(f.country);
    address.phone1 = persons.GetString(f.phone1);
    address.phone2 = persons.GetString(f.phone2);
    deliveryAddresses_[persons.GetString(f.id)] = std::move(address);
  }
  KeepDamageOf(persons);  // the reader's own table: its row says what is lost
}

void CVardoCustomerDb::ReadNotes() {
  constexpr int kHistory = vardo_table::kHistory;
  CVardoHistoryDb history(CompanyFolder());
  VardoField type{kHistory, "HISTTYPE"}, ref{kHistory, "REF"}, text{kHistory, "TXT"};
  for (bool more = history.MoveFirst(); more; more = history.MoveNext()) {
    if (const auto damaged = history.DamagedAmong({&type}); !damaged.empty()) {
      history.CountAsUnreadable(VardoDamagedValuesText(damaged));
      continue;
    }
    if (history.GetLong(type) != kNoteHistoryType) continue;
    std::string& note = notes_[history.GetString(ref)];
    if (!note.empty()) note += ' ';
    note += history.GetString(text);
  }
  KeepDamageOf(history, "anteckningar saknas");
}

void CVardoCustomerDb::ReadDeliveryTermsAndMethods() {
  CVardoDeliveryMethodsDb methods(CompanyFolder());
  for (bool more = methods.MoveFirst(); more; more = methods.MoveNext()) {
    if (!methods.PassUnreadableNumber() && methods.IsUploaded()) deliveryMethods_.insert(methods.GetTextNumber());
  }
  KeepDamageOf(methods, "leveranssätt saknas");
  CVardoDeliveryTermsDb terms(CompanyFolder());
  for (bool more = terms.MoveFirst(); more; more = terms.MoveNext()) {
    if (!terms.PassUnreadableNumber() && terms.IsUploaded()) deliveryTerms_.insert(terms.GetTextNumber());
  }
  KeepDamageOf(terms, "leveransvillkor saknas");
}

void CVardoCustomerDb::ReadElectronicReferences() {
  constexpr int kSettings = vardo_table::kPersSettings;
  CVardoPersSettingsDB settings(CompanyFolder());
  VardoField type{kSettings, "TYPE"}, id{kSettings, "ID"}, key{kSettings, "KEY"}, value{kSettings, "VALUE"};
  for (bool more = settings.MoveFirst(); more; more = settings.MoveNext()) {
    if (settings.GetString(key) != kElectronicReferenceKey) continue;
    if (const auto damaged = settings.DamagedAmong({&type}); !damaged.empty()) {
      settings.CountAsUnreadable(VardoDamagedValuesText(damaged));
      continue;
    }
    std::string reference = settings.GetString(value);
    if (!IsUsableTermName(reference)) continue;
    electronicReferences_[{settings.GetLong(type), settings.GetString(id)}] = std::move(reference);
  }
  KeepDamageOf(settings, "elektroniska referenser saknas");
}

const VardoDeliveryAddress& CVardoCustomerDb::DeliveryAddress() {
  static const VardoDeliveryAddress kNone;
  const std::string id = Text(person_.id);
  if (id.empty()) return kNone;
  const auto address = deliveryAddresses_.find(id);
  return address == deliveryAddresses_.end() ? kNone : address->second;
}

std::string CVardoCustomerDb::GetInvoicePostalCode() { return CustomerPostalLine(Text(person_.adr2), Text(person_.adr3)).first; }
std::string CVardoCustomerDb::GetInvoiceCity() { return CustomerPostalLine(Text(person_.adr2), Text(person_.adr3)).second; }

std::string CVardoCustomerDb::GetDeliveryMethodCode() {
  if (!Reads(person_.wod)) return "";
  const int number = TextNumberInRange(GetLong(person_.wod), CVardoDeliveryMethodsDb::kFirst,
                                       CVardoDeliveryMethodsDb::kLast);
  return deliveryMethods_.contains(number) ? FormatInteger(number) : std::string();
}

std::string CVardoCustomerDb::GetDeliveryTermCode() {
  if (!Reads(person_.tod)) return "";
  const int number =
      TextNumberInRange(GetLong(person_.tod), CVardoDeliveryTermsDb::kFirst, CVardoDeliveryTermsDb::kLast);
  return deliveryTerms_.contains(number) ? FormatInteger(number) : std::string();
}

std::string CVardoCustomerDb::GetNote() {
  const auto note = notes_.find(Text(person_.id));
  return note == notes_.end() ? std::string() : note->second;
}

std::string CVardoCustomerDb::GetElectronicReference() {
  const auto reference = electronicReferences_.find({kVardoCustomer, Text(person_.id)});
  return reference == electronicReferences_.end() ? std::string() : reference->second;
}

// ---------------------------------------------------------------------------
// Suppliers

std::pair<std::string, std::string> CVardoSupplierDb::PostalLine() {
  std::string line = Text(person_.adr3);
  if (line.empty()) line = Text(person_.adr2);
  std::pair<std::string, std::string> parts;
  if (!line.empty()) SplitPostalCodeAndCity(line.c_str(), parts.first, parts.second);
  return parts;
}

std::string CVardoSupplierDb::GetPostalCode() { return PostalLine().first; }
std::string CVardoSupplierDb::GetCity() { return PostalLine().second; }
