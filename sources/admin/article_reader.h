#pragma once
// The article register of a DBF company (ART.DBF). The side tables are read
// into maps at construction, so walking the register reads ART.DBF alone:
// the base prices of the chosen price list, whether that list includes VAT,
// the English names (only for a company that trades in foreign currency),
// the domestic units and the article accounts.
#include <map>
#include <string>
#include <unordered_map>
#include <utility>

#include "app/reader_interfaces/source_readers.h"
#include "sources/admin/company_db.h"
#include "sources/admin/logical_field.h"

class CAdminArticleDb : public CAdminCompanyDb, public I_QZ_Articles {
 public:
  static constexpr const char* kFileName = "ART.DBF";
  // `priceListCode` is the price list chosen for the transfer; empty: no prices.
  CAdminArticleDb(std::string folder, std::string priceListCode);

  bool IsAvailable() override;
  int GetRecordCount() override { return RecordCount(); }
  void Close() override { CloseTable(); }
  void AddWarnings(std::vector<ReportRow>& rows) override;
  // The inactive flag, the stock balance, the house-work type and the price are
  // the article's own values: one that does not read refuses the article.
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }

  bool IsActive() override { return !IsLogicalSet(GetField(colInactive_)); }
  std::string GetNumber() override { return GetField(colNumber_); }
  std::string GetName() override { return GetField(colName_); }
  std::string GetNameEnglish() override;
  std::string GetNetPrice() override;
  std::string GetGrossPrice() override;
  std::string GetUnitCode() override;
  std::string GetUnitName() override;
  std::string GetArticleAccountCode() override { return GetField(colAccount_); }
  std::string GetArticleAccountName() override;
  bool IsMolnixAccountCode() override { return false; }
  std::string GetStockBalance() override { return GetField(colStock_); }
  int GetRotRutType() override;

 private:
  struct Unit {
    std::string isoCode;
    std::string name;
  };
  // A base price as stored; `unread` the text of the row about a price of the
  // article that cannot be read, which no other record's price stands in for.
  struct Price {
    std::string price;
    std::string unread;
  };

  void ReadPrices();
  void ReadIncludesVat();
  void ReadEnglishNames();
  void ReadUnits();
  void ReadAccountNames();
  const Price* PriceOfCurrent();

  std::string priceListCode_;
  bool includesVat_ = false;
  std::unordered_map<std::string, Price> prices_;
  std::unordered_map<std::string, std::string> englishNames_;
  std::map<std::string, Unit, std::less<>> units_;
  std::map<std::string, std::string, std::less<>> accountNames_;
  int colInactive_ = Column("INAKTIV"), colNumber_ = Column("ARTNR"), colName_ = Column("BENAEMN"),
      colUnit_ = Column("ENHKOD"), colAccount_ = Column("KONTKOD"), colStock_ = Column("ILAGER"),
      colRotRut_ = Column("H_TYPID");
};
