#pragma once
// The articles of an SQL company: the active rows of ART by article number, each
// with its base price in the chosen price list, that list's VAT mode, the names of
// its account and unit and its English name, read by one query with left joins.
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "lumdb/query/join_path.h"
#include "sources/sqladmin/register_query.h"

class CSqlAdminArticleDb : public I_QZ_Articles, public CAdmDbSql {
 public:
  // `priceListName` is the price list chosen for the transfer; empty: no prices.
  CSqlAdminArticleDb(std::string companyFolder, std::string priceListName);

  bool IsAvailable() override;
  int GetRecordCount() override { return CAdmDbSql::GetRecordCount(); }
  void Close() override { ReleaseStatement(); }
  void AddWarnings(std::vector<ReportRow>& rows) override;
  bool CheckCurrent(std::vector<ReportRow>& rows) override { return CheckValues(rows, GetNumber(), GetName()); }
  bool IsCurrentCounted() override { return true; }
  bool MoveFirst() override { return walk_.MoveFirst(*this, artNumber_); }
  bool MoveNext() override { return walk_.MoveNext(*this, artNumber_); }

  bool IsActive() override { return true; }
  std::string GetNumber() override { return GetColumnString(artNumber_); }
  std::string GetName() override { return GetColumnString(artName_); }
  std::string GetNameEnglish() override { return GetColumnString(englishName_, &englishPath_); }
  std::string GetNetPrice() override;
  std::string GetGrossPrice() override;
  std::string GetUnitCode() override { return GetColumnString(artUnit_); }
  std::string GetUnitName() override { return GetColumnString(unitText_, &unitPath_); }
  std::string GetArticleAccountCode() override { return GetColumnString(artAccount_); }
  std::string GetArticleAccountName() override { return GetColumnString(accountName_, &accountPath_); }
  bool IsMolnixAccountCode() override { return false; }
  std::string GetStockBalance() override { return GetColumnString(artStock_); }
  int GetRotRutType() override;

 private:
  bool IncludesVat() const;

  std::string priceListName_;
  const lumdb::field_desc_t* artNumber_ = nullptr;
  const lumdb::field_desc_t* artName_ = nullptr;
  const lumdb::field_desc_t* artUnit_ = nullptr;
  const lumdb::field_desc_t* artAccount_ = nullptr;
  const lumdb::field_desc_t* artStock_ = nullptr;
  const lumdb::field_desc_t* artWorkType_ = nullptr;
  const lumdb::field_desc_t* priceArticle_ = nullptr;
  const lumdb::field_desc_t* price_ = nullptr;
  const lumdb::field_desc_t* priceList_ = nullptr;
  const lumdb::field_desc_t* priceIsBase_ = nullptr;
  const lumdb::field_desc_t* listCurrency_ = nullptr;
  const lumdb::field_desc_t* listIncludesVat_ = nullptr;
  const lumdb::field_desc_t* accountName_ = nullptr;
  const lumdb::field_desc_t* unitText_ = nullptr;
  const lumdb::field_desc_t* englishArticle_ = nullptr;
  const lumdb::field_desc_t* englishLanguage_ = nullptr;
  const lumdb::field_desc_t* englishName_ = nullptr;
  lumdb::join_path_t pricePath_;
  lumdb::join_path_t priceListPath_;
  lumdb::join_path_t accountPath_;
  lumdb::join_path_t unitPath_;
  lumdb::join_path_t englishPath_;
  DistinctKeyWalk walk_;
};
