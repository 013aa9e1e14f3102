#pragma once
// What the customer and supplier registers of a DBF company share: the main
// table walked record by record, the contact people and payment terms read
// into maps when the reader is built, and the getters that both interfaces
// have under the same names. An inactive record is left out without a row; one
// whose inactive flag does not read is refused with a row.
#include <string>
#include <vector>

#include "app/reader_interfaces/source_readers.h"
#include "sources/admin/company_db.h"
#include "sources/admin/logical_field.h"
#include "sources/admin/register_tables.h"

template <class Interface>
class CAdminRegisterReader : public CAdminCompanyDb, public Interface {
 public:
  int GetRecordCount() override { return RecordCount(); }
  void Close() override { CloseTable(); }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  bool CheckCurrent(std::vector<ReportRow>& rows) override {
    if (RefuseUnread(rows, NumberOfCurrent(), GetField(colName_), {{"INAKTIV", colInactive_, ValueForm::Logical}}))
      return false;
    return !*LogicalValue(colInactive_);
  }
  bool MoveFirst() override { return MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }

  std::string GetCorporateIdentityNumber() override { return GetFieldNoBlanks(colOrgNo_); }
  std::string GetContactPersonEmail() override { return ContactOfCurrent(&ContactDetails::email); }
  std::string GetContactPersonMobile() override { return ContactOfCurrent(&ContactDetails::mobile); }
  std::string GetContactPersonName() override { return GetField(colReference_); }
  std::string GetContactPersonPhone() override { return ContactOfCurrent(&ContactDetails::phone); }
  std::string GetCurrencyCode() override { return GetField(colCurrency_); }
  std::string GetEmailAddress() override { return GetField(colEmail_); }
  std::string GetMobilePhone() override { return GetFieldNoBlanks(colMobile_); }
  std::string GetName() override { return GetField(colName_); }
  // The four note lines run on into one text: each loses its trailing blanks
  // and nothing is put between them.
  std::string GetNote() override {
    std::string note;
    for (int column : colNotes_) note += GetField(column);
    return note;
  }
  std::string GetTelephone() override { return GetFieldNoBlanks(colPhone_); }
  // The term's second code when it is one to three digits (the cloud's codes),
  // else the record's own code.
  std::string GetTermsOfPaymentCode() override {
    std::string code = GetField(colPaymentTerm_);
    auto it = paymentTerms_.find(code);
    if (it != paymentTerms_.end() && IsShortDigitCode(it->second.code)) return it->second.code;
    return code;
  }
  // The name of the term the code above names (so, after a second code, the
  // name of the term with that code).
  std::string GetTermsOfPaymentName() override {
    auto it = paymentTerms_.find(this->GetTermsOfPaymentCode());
    return it == paymentTerms_.end() ? std::string() : it->second.name;
  }

 protected:
  // `numberColumn` names the record's number, which with the contact
  // signature finds the record's contact person.
  CAdminRegisterReader(std::string folder, const char* fileName, const char* numberColumn, ContactOwner owner)
      : CAdminCompanyDb(std::move(folder), fileName),
        colNumber_(Column(numberColumn)),
        contacts_(ReadContacts(Folder(), owner, sideTableRows_)),
        paymentTerms_(ReadPaymentTerms(Folder(), sideTableRows_)) {}

  std::string NumberOfCurrent() const { return GetField(colNumber_); }

 private:
  static bool IsShortDigitCode(const std::string& code) {
    if (code.empty() || code.size() > 3) return false;
    for (char c : code)
      if (c < '0' || c > '9') return false;
    return true;
  }

  std::string ContactOfCurrent(std::string ContactDetails::*field) const {
    std::string signature = GetField(colSignature_);
    if (signature.empty()) return {};
    auto it = contacts_.find(ContactKey{std::move(signature), NumberOfCurrent()});
    return it == contacts_.end() ? std::string() : it->second.*field;
  }

  int colNumber_;
  int colOrgNo_ = Column("ORGNR"), colReference_ = Column("REF"), colSignature_ = Column("REF_SIGN"),
      colCurrency_ = Column("VALUTAKOD"), colEmail_ = Column("EPOST"), colName_ = Column("NAMN"),
      colMobile_ = Column("MBTEL"), colPhone_ = Column("TEL"), colPaymentTerm_ = Column("BETVILLK"),
      colInactive_ = Column("INAKTIV");
  int colNotes_[4] = {Column("ANTECK_1"), Column("ANTECK_2"), Column("ANTECK_3"), Column("ANTECK_4")};
  ContactMap contacts_;
  PaymentTermMap paymentTerms_;
};
