#pragma once
// The articles of a Vardo company, from ARTICLE.DBF, with their unit texts
// from TEXT.DBF and their account names from ACCOUNT.DBF, both read once when
// the reader is made.
#include <map>
#include <string>
#include <unordered_map>

#include "app/reader_interfaces/source_readers.h"
#include "sources/vardo/vardo_company_db.h"

class CVardoArticleAccountDb : public CVardoCompanyDb {
 public:
  explicit CVardoArticleAccountDb(std::string companyFolder);
};

class CVardoArticleDb : public CVardoCompanyDb, public I_QZ_Articles {
 public:
  // The price list is the Administration line's; a Vardo article has one price.
  CVardoArticleDb(std::string companyFolder, std::string priceListCode);

  // For every edition the installed Vardo program recognises.
  bool IsAvailable() override;
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  // An article whose activity, price, VAT or stock does not read is refused;
  // one whose unit does not read goes without it.
  bool CheckCurrent(std::vector<ReportRow>& rows) override;
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  bool IsActive() override { return !GetBool(article_.inactive); }
  std::string GetNumber() override { return GetString(article_.number); }
  std::string GetName() override { return GetString(article_.name); }
  std::string GetNameEnglish() override { return GetString(article_.nameEnglish); }
  std::string GetNetPrice() override { return IncludesVat() ? std::string() : Price(); }
  std::string GetGrossPrice() override { return IncludesVat() ? Price() : std::string(); }
  std::string GetUnitCode() override;
  std::string GetUnitName() override;
  std::string GetArticleAccountCode() override { return GetString(article_.account); }
  std::string GetArticleAccountName() override;
  bool IsMolnixAccountCode() override { return false; }
  std::string GetStockBalance() override { return FormatAmount(GetDouble(article_.stock)); }
  int GetRotRutType() override { return 0; }

 private:
  static constexpr int kTable = vardo_table::kArticle;

  struct VardoUnitText {
    std::string code;  // from text number + 500; empty when it has none
    std::string name;
  };

  bool IncludesVat() { return GetLong(article_.vatIncluded) == 1; }
  std::string Price() { return FormatAmount(GetDouble(article_.price)); }
  // The unit text of the current article (text number ARTUNIT + 361); null when there is none.
  const VardoUnitText* Unit(int& textNumber);
  void ReadUnits();
  void ReadAccounts();

  struct Fields {
    VardoField inactive{kTable, "INACTIVE"}, number{kTable, "ARTNO"}, name{kTable, "ARTNAME"},
        nameEnglish{kTable, "ARTNAME2"}, account{kTable, "ARTACC1"}, vatIncluded{kTable, "VATINCL"},
        unit{kTable, "ARTUNIT"}, price{kTable, "ARTPRICE0"}, stock{kTable, "ARTSTOCK"};
  };

  Fields article_;
  std::map<int, VardoUnitText> units_;
  std::unordered_map<std::string, std::string> accountNames_;  // ACCNO as stored -> ACCNAME
};
