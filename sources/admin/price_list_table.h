#pragma once
// PRISL.DBF of a DBF company: its price lists, one record each, with the
// code, currency, name and whether the prices include VAT.
#include <string>

#include "sources/admin/company_db.h"

class CAdminPriceListDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "PRISL.DBF";
  explicit CAdminPriceListDb(std::string folder);

  std::string GetPriceListCode() const { return GetField(priceList_); }  // PRISL
  std::string GetName() const { return GetField(name_); }                // BENAEMN
  std::string GetIncludesVat() const { return GetField(includesVat_); }  // INKLMOMS
  CheckedColumn IncludesVatColumn() const { return {"INKLMOMS", includesVat_, ValueForm::Logical}; }
  // The price list's currency; when it has none, the company's (PRM.DBF); when
  // that is empty too, "SEK".
  std::string GetCurrencyCode() const;

 private:
  std::string companyCurrency_;  // VALUTAKOD of PRM.DBF, read once at construction
  int priceList_ = Column("PRISL");
  int currency_ = Column("VALUTAKOD");
  int name_ = Column("BENAEMN");
  int includesVat_ = Column("INKLMOMS");
};
