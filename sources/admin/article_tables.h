#pragma once
// The side tables of the article register, read into maps when the article
// reader is built: base prices per price list, article names per language,
// units and article accounts. (The price lists themselves are in price_list.h.)
#include <optional>
#include <string>

#include "sources/admin/company_db.h"
#include "sources/admin/logical_field.h"

class CAdminPriceDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "PRIS.DBF";
  explicit CAdminPriceDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
  std::string GetPriceList() const { return GetField(colPriceList_); }
  std::string GetArticleNumber() const { return GetField(colArticleNumber_); }
  std::string GetPrice() const { return GetField(colPrice_); }
  bool IsBasePrice() const { return IsLogicalSet(GetField(colBase_)); }
  // The base flag or the price, when it does not read.
  std::optional<CheckedColumn> UnreadPriceValue() const {
    return FirstUnreadValue({{"GRUND", colBase_, ValueForm::Logical}, {"PRIS", colPrice_, ValueForm::Number}});
  }

 private:
  int colPriceList_ = Column("PRISL"), colArticleNumber_ = Column("ARTNR"), colPrice_ = Column("PRIS"),
      colBase_ = Column("GRUND");
};

class CAdminArticleNameDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "ARTBEN.DBF";
  explicit CAdminArticleNameDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
  std::string GetLanguageCode() const { return GetField(colLanguage_); }
  std::string GetArticleNumber() const { return GetField(colArticleNumber_); }
  std::string GetName() const { return GetField(colName_); }

 private:
  int colLanguage_ = Column("SPRAAKKOD"), colArticleNumber_ = Column("ARTNR"), colName_ = Column("BENAEMN");
};

class CAdminUnitCodeDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "ENHKOD.DBF";
  explicit CAdminUnitCodeDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
  std::string GetUnitCode() const { return GetField(colUnit_); }
  std::string GetIsoCode() const { return GetField(colIso_); }
  std::string GetText() const { return GetField(colText_); }
  bool IsDomestic() const { return IsLogicalSet(GetField(colDomestic_)); }
  CheckedColumn DomesticColumn() const { return {"INHEMSK", colDomestic_, ValueForm::Logical}; }

 private:
  int colUnit_ = Column("ENHKOD"), colIso_ = Column("ISO"), colText_ = Column("TEXT"), colDomestic_ = Column("INHEMSK");
};

class CAdminArticleAccountDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "ARTKNT.DBF";
  explicit CAdminArticleAccountDb(std::string folder) : CAdminCompanyDb(std::move(folder), kFileName) {}
  std::string GetAccountCode() const { return GetField(colCode_); }
  std::string GetName() const { return GetField(colName_); }

 private:
  int colCode_ = Column("KONTKOD"), colName_ = Column("BENAEMN");
};
