#pragma once
// The side tables of the customer and supplier registers: the contact people
// (KONTAKT.DBF) and the payment terms (BETVILLK.DBF). Each register reader
// reads them into maps once, when it is built, and closes them again.
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "sources/admin/company_db.h"

// What the cloud takes of one contact person.
struct ContactDetails {
  std::string email;
  std::string mobile;  // without blanks
  std::string phone;   // without blanks
};

struct PaymentTermInfo {
  std::string code;  // BETKOD: the term's second code, which may point at another term
  std::string name;  // TEXT
};

class CAdminContactDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "KONTAKT.DBF";
  explicit CAdminContactDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}

  std::string GetSignature() const { return GetField(colSignature_); }
  std::string GetCustomerNumber() const { return GetField(colCustomer_); }
  std::string GetSupplierNumber() const { return GetField(colSupplier_); }
  ContactDetails GetDetails() const {
    return {GetField(colEmail_), GetFieldNoBlanks(colMobile_), GetFieldNoBlanks(colPhone_)};
  }

 private:
  int colSignature_ = Column("SIGN"), colEmail_ = Column("EPOST"), colMobile_ = Column("MBTEL"),
      colPhone_ = Column("TEL"), colCustomer_ = Column("KUNDNR"), colSupplier_ = Column("LEVNR");
};

class CAdminPaymentTermsDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "BETVILLK.DBF";
  explicit CAdminPaymentTermsDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}

  std::string GetTermCode() const { return GetField(colTerm_); }
  PaymentTermInfo GetInfo() const { return {GetField(colCode_), GetField(colText_)}; }

 private:
  int colTerm_ = Column("BETVILLK"), colText_ = Column("TEXT"), colCode_ = Column("BETKOD");
};

// (contact signature, customer or supplier number)
using ContactKey = std::pair<std::string, std::string>;

struct ContactKeyHash {
  std::size_t operator()(const ContactKey& key) const noexcept {
    const std::size_t first = std::hash<std::string>{}(key.first);
    return first ^ (std::hash<std::string>{}(key.second) + 0x9e3779b97f4a7c15ULL + (first << 6) + (first >> 2));
  }
};

using ContactMap = std::unordered_map<ContactKey, ContactDetails, ContactKeyHash>;
using PaymentTermMap = std::map<std::string, PaymentTermInfo, std::less<>>;

enum class ContactOwner { Customer, Supplier };

// The live contacts of the owner kind (those whose owner number is set); the
// last record of a key wins. A table that cannot be read whole adds its row to
// `damageRows`.
ContactMap ReadContacts(const std::string& folder, ContactOwner owner, std::vector<ReportRow>& damageRows);
// The live payment terms by code; the first record of a code wins. A table that
// cannot be read whole adds its row to `damageRows`.
PaymentTermMap ReadPaymentTerms(const std::string& folder, std::vector<ReportRow>& damageRows);
