#pragma once
// The customers and suppliers of a Vardo company. PERSON.DBF holds customers
// (TYPE 1), suppliers (TYPE 2) and customers' delivery addresses (TYPE 3) side
// by side; each reader lets through its own type. The look-up texts (payment
// terms; for customers also delivery addresses, terms and methods, notes and
// electronic references) are read once when the reader is made.
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "app/reader_interfaces/source_readers.h"
#include "sources/vardo/vardo_company_db.h"
#include "sources/vardo/vardo_text_tables.h"

inline constexpr int kVardoCustomer = 1;
inline constexpr int kVardoSupplier = 2;
inline constexpr int kVardoDeliveryAddress = 3;
// The person type of a record whose TYPE does not read as its field's type:
// it may be any person, so it is lost to every reader, as a record that cannot be read.
inline constexpr int kVardoUnreadableType = -2;

// The columns of PERSON.DBF that the readers read.
struct VardoPersonFields {
  static constexpr int kTable = vardo_table::kPerson;
  VardoField id{kTable, "ID"}, type{kTable, "TYPE"}, orgNo{kTable, "ORGNO"}, ref{kTable, "REF"},
      currency{kTable, "CURRENCY"}, ean{kTable, "EAN"}, mail{kTable, "MAIL"}, adr1{kTable, "ADR1"},
      adr2{kTable, "ADR2"}, adr3{kTable, "ADR3"}, country{kTable, "COUNTRY"}, name{kTable, "PNAME"},
      phone1{kTable, "PHONE1"}, phone2{kTable, "PHONE2"}, vatReg{kTable, "VATREG"}, web{kTable, "WEB"},
      inactive{kTable, "INACTIVE"}, wod{kTable, "WOD"}, tod{kTable, "TOD"}, credit{kTable, "CREDIT"},
      acc1{kTable, "ACC1"}, swift{kTable, "SWIFT"}, bankgiro{kTable, "BANKGIRO"}, iban{kTable, "IBAN"},
      bank{kTable, "BANK"}, plusgiro{kTable, "PLUSGIRO"};
};

// The person type of the current record of a PERSON.DBF table: TYPE as a
// number; -1 when it is empty or holds none; kVardoUnreadableType when it
// does not read as its field's type.
int ReadVardoPersonType(CVardoCompanyDb& persons, VardoPersonFields& fields);

// The payment terms of a company (texts 421-430 with a usable name), looked up
// by a person's CREDIT.
class VardoPaymentTerms {
 public:
  // What of TEXT.DBF cannot be read is kept with the reader's damage.
  VardoPaymentTerms(const std::string& companyFolder, CVardoCompanyDb& reader);
  // "C" for cash, the days when the name starts with 0-179 of them, else the
  // text number; "" when the person's term is not known.
  std::string Code(int credit) const;
  std::string Name(int credit) const;

 private:
  const VardoTermText* Find(int credit) const;

  std::unordered_map<int, VardoTermText> terms_;
};

class CVardoDeliveryAddressDb : public CVardoCompanyDb {
 public:
  explicit CVardoDeliveryAddressDb(std::string companyFolder);
};

class CVardoHistoryDb : public CVardoCompanyDb {
 public:
  explicit CVardoHistoryDb(std::string companyFolder);
};

class CVardoPersSettingsDB : public CVardoCompanyDb {
 public:
  explicit CVardoPersSettingsDB(std::string companyFolder);
};

// What customers and suppliers share: the person table and its payment terms.
class CVardoPersonDb : public CVardoCompanyDb {
 public:
  explicit CVardoPersonDb(std::string companyFolder);

  int GetPersonType() { return ReadVardoPersonType(*this, person_); }

 protected:
  static constexpr int kTable = vardo_table::kPerson;

  // Moves on from the current record to the next one of the type, or to the
  // end; the records passed whose type does not read are counted as lost.
  bool MoveToType(bool found, int type);
  // Whether the current person of `type` goes: one whose INACTIVE does not
  // read is refused with a row; one of whose `sentValues` a value does not
  // read goes without it, with a row.
  bool CheckPerson(int type, std::vector<ReportRow>& rows, std::initializer_list<VardoField*> sentValues);
  // Whether the field's value on the current record reads as its type.
  bool Reads(VardoField& field) { return DamagedAmong({&field}).empty(); }
  std::string Text(VardoField& field) { return GetString(field); }
  // ADR2 is a second street line only when ADR3 holds the postal line.
  std::string SecondAddressLine() { return Text(person_.adr3).empty() ? std::string() : Text(person_.adr2); }
  std::string PaymentTermCode() { return Reads(person_.credit) ? paymentTerms_.Code(GetLong(person_.credit)) : ""; }
  std::string PaymentTermName() { return Reads(person_.credit) ? paymentTerms_.Name(GetLong(person_.credit)) : ""; }

  VardoPersonFields person_;

 private:
  VardoPaymentTerms paymentTerms_;
};

struct VardoDeliveryAddress {
  std::string name, address1, address2, postalCode, city, country, phone1, phone2;
};

class CVardoCustomerDb : public CVardoPersonDb, public I_QZ_Customers {
 public:
  explicit CVardoCustomerDb(std::string companyFolder);

  // For every edition the installed Vardo program recognises.
  bool IsAvailable() override;
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override {
    return CheckPerson(kVardoCustomer, rows, {&person_.credit, &person_.wod, &person_.tod});
  }
  bool IsCurrentCounted() override { return GetPersonType() == kVardoCustomer; }
  bool MoveFirst() override;
  bool MoveNext() override { return MoveToType(CVardoCompanyDb::MoveNext(), kVardoCustomer); }

  std::string GetCustomerNumber() override { return Text(person_.id); }
  std::string GetCorporateIdentityNumber() override { return Text(person_.orgNo); }
  std::string GetContactPersonEmail() override { return ""; }
  std::string GetContactPersonMobile() override { return ""; }
  std::string GetContactPersonName() override { return Text(person_.ref); }
  std::string GetContactPersonPhone() override { return ""; }
  std::string GetCurrencyCode() override { return Text(person_.currency); }
  std::string GetGLN() override { return Text(person_.ean); }
  std::string GetEmailAddress() override { return Text(person_.mail); }
  std::string GetInvoiceAddress1() override { return Text(person_.adr1); }
  std::string GetInvoiceAddress2() override { return SecondAddressLine(); }
  std::string GetInvoiceCity() override;
  std::string GetInvoiceCountryCode() override { return Text(person_.country); }
  std::string GetInvoicePostalCode() override;
  std::string GetDeliveryCustomerName() override { return DeliveryAddress().name; }
  std::string GetDeliveryAddress1() override { return DeliveryAddress().address1; }
  std::string GetDeliveryAddress2() override { return DeliveryAddress().address2; }
  std::string GetDeliveryCity() override { return DeliveryAddress().city; }
  std::string GetDeliveryCountryCode() override { return DeliveryAddress().country; }
  std::string GetDeliveryPostalCode() override { return DeliveryAddress().postalCode; }
  std::string GetDeliveryMethodCode() override;
  std::string GetDeliveryTermCode() override;
  std::string GetName() override { return Text(person_.name); }
  std::string GetNote() override;
  bool GetReverseChargeOnConstructionServices() override { return false; }
  std::string GetMobilePhone() override { return Text(person_.phone2); }
  std::string GetTelephone() override { return Text(person_.phone1); }
  std::string GetTermsOfPaymentCode() override { return PaymentTermCode(); }
  std::string GetTermsOfPaymentName() override { return PaymentTermName(); }
  std::string GetVatNumber() override { return Text(person_.vatReg); }
  std::string GetWwwAddress() override { return Text(person_.web); }
  bool IsPrivatePerson() override { return false; }
  std::string GetElectronicReference() override;

 private:
  const VardoDeliveryAddress& DeliveryAddress();
  void ReadDeliveryAddresses();
  void ReadNotes();
  void ReadDeliveryTermsAndMethods();
  void ReadElectronicReferences();

  std::unordered_map<std::string, VardoDeliveryAddress> deliveryAddresses_;  // by ID
  std::unordered_map<std::string, std::string> notes_;                       // by ID, joined in table order
  std::unordered_set<int> deliveryMethods_;                                  // text numbers
  std::unordered_set<int> deliveryTerms_;                                    // text numbers
  std::map<std::pair<int, std::string>, std::string> electronicReferences_;  // by person type and ID
};

class CVardoSupplierDb : public CVardoPersonDb, public I_QZ_Suppliers {
 public:
  explicit CVardoSupplierDb(std::string companyFolder) : CVardoPersonDb(std::move(companyFolder)) {}

  bool IsAvailable() override { return true; }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override {
    return CheckPerson(kVardoSupplier, rows, {&person_.credit});
  }
  bool IsCurrentCounted() override { return GetPersonType() == kVardoSupplier; }
  bool MoveFirst() override { return MoveToType(CVardoCompanyDb::MoveFirst(), kVardoSupplier); }
  bool MoveNext() override { return MoveToType(CVardoCompanyDb::MoveNext(), kVardoSupplier); }

  std::string GetSupplierNumber() override { return Text(person_.id); }
  std::string GetAddress1() override { return Text(person_.adr1); }
  std::string GetAddress2() override { return SecondAddressLine(); }
  bool GetAutomaticPaymentService() override { return false; }
  std::string GetSupplierBankAccountNumber() override { return ""; }
  std::string GetSupplierBankBban() override { return ""; }
  std::string GetSupplierBankBic() override { return Text(person_.swift); }
  std::string GetSupplierBankCode() override { return ""; }
  std::string GetSupplierBankCountryCode() override { return Text(person_.country); }
  std::string GetSupplierBankgiroNumber() override { return Text(person_.bankgiro); }
  std::string GetSupplierBankIban() override { return Text(person_.iban); }
  std::string GetSupplierBankName() override { return Text(person_.bank); }
  std::string GetCity() override;
  std::string GetContactPersonEmail() override { return ""; }
  std::string GetContactPersonMobile() override { return ""; }
  std::string GetContactPersonName() override { return Text(person_.ref); }
  std::string GetContactPersonPhone() override { return ""; }
  std::string GetCorporateIdentityNumber() override { return Text(person_.orgNo); }
  std::string GetCountryCode() override { return Text(person_.country); }
  std::string GetCurrencyCode() override { return Text(person_.currency); }
  std::string GetEmailAddress() override { return Text(person_.mail); }
  std::string GetMobilePhone() override { return Text(person_.phone2); }
  std::string GetName() override { return Text(person_.name); }
  // A note of HISTORY.DBF names its person by ID alone, which a customer and a
  // supplier may share, so suppliers take no notes.
  std::string GetNote() override { return ""; }
  std::string GetSupplierPlusgiroNumber() override { return Text(person_.plusgiro); }
  std::string GetPostalCode() override;
  std::string GetTelephone() override { return Text(person_.phone1); }
  std::string GetTermsOfPaymentCode() override { return PaymentTermCode(); }
  std::string GetTermsOfPaymentName() override { return PaymentTermName(); }
  std::string GetWwwAddress() override { return Text(person_.web); }
  std::string GetBankFeeCode() override { return ""; }
  std::string GetForeignPaymentCode() override { return ""; }
  bool UsesPaymentReferenceNumbers() override { return false; }

 private:
  // The postal line (ADR3, or ADR2 when ADR3 is empty) split into postal code and city.
  std::pair<std::string, std::string> PostalLine();
};
