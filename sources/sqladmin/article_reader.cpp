#include "sources/sqladmin/article_reader.h"

#include "app/desktop/company_identification.h"
#include "app/reader_interfaces/report_row.h"
#include "app/reader_interfaces/rot_rut_type.h"
#include "lumdb/query/datamodel.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "sources/sqladmin/register_query.h"

namespace {

const char* const kNoPriceListWarning = "Det finns ingen prislista i SEK så inga priser kommer att överföras.";
constexpr int kEqual = 1;

}  // namespace

CSqlAdminArticleDb::CSqlAdminArticleDb(std::string companyFolder, std::string priceListName)
    : CAdmDbSql(std::move(companyFolder)), priceListName_(std::move(priceListName)) {
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const SqlTableColumns art(*model, "ART");
  if (art.table == nullptr) return;
  artNumber_ = art.Column("ARTNR");
  artName_ = art.Column("BENAEMN");
  artUnit_ = art.Column("ENHKOD");
  artAccount_ = art.Column("KONTKOD");
  artStock_ = art.Column("ILAGER");
  artWorkType_ = art.Column("H_TYPID");
  const lumdb::field_desc_t* inactive = art.Column("INAKTIV");
  const SqlTableColumns prices(*model, "PRIS");
  priceArticle_ = prices.Column("ARTNR");
  price_ = prices.Column("PRIS");
  priceList_ = prices.Column("PRISL");
  priceIsBase_ = prices.Column("GRUND");
  const SqlTableColumns lists(*model, "PRISL");
  listCurrency_ = lists.Column("VALUTAKOD");
  listIncludesVat_ = lists.Column("INKLMOMS");
  accountName_ = SqlTableColumns(*model, "ARTKNT").Column("BENAEMN");
  unitText_ = SqlTableColumns(*model, "ENHKOD").Column("TEXT");
  const SqlTableColumns english(*model, "ARTBEN");
  englishArticle_ = english.Column("ARTNR");
  englishLanguage_ = english.Column("SPRAAKKOD");
  englishName_ = english.Column("BENAEMN");
  if (connectionError() || artNumber_ == nullptr) return;

  lumdb::query_c query(session());
  std::vector<lumdb::colexpr_c> columns;
  for (const auto* field : {artNumber_, artName_, artUnit_, artAccount_, artStock_, artWorkType_})
    if (field != nullptr) columns.emplace_back(field->id);
  const lumdb::filter_node_t active =
      inactive != nullptr ? lumdb::filter_node_t(lumdb::colexpr_c(inactive->id), kEqual, false) : lumdb::filter_node_t();
  query.setup_select(art.table->id, columns, &active);
  query.set_order_by(lumdb::colexpr_c(artNumber_->id));

  const bool pricesJoin = priceArticle_ != nullptr && priceList_ != nullptr && priceIsBase_ != nullptr;
  const bool englishJoin = englishArticle_ != nullptr && englishLanguage_ != nullptr;
  // A column whose join cannot be made reads as empty.
  if (!pricesJoin) price_ = listCurrency_ = listIncludesVat_ = nullptr;
  if (artAccount_ == nullptr) accountName_ = nullptr;
  if (artUnit_ == nullptr) unitText_ = nullptr;
  if (!englishJoin) englishName_ = nullptr;
  // Of an article's joined rows the first is read: its price row in the chosen
  // list before one without list, its English name before one without language.
  // The order is the statement's, so no server's plan can change what is sent.
  auto preferLargest = [&query](const lumdb::field_desc_t* field, const lumdb::join_path_t& path) {
    lumdb::colexpr_c term(field->id, path, lumdb::ck_column);
    term.set_descending(true);  // NULL sorts first on SQL Server and SQLite alike, so last here
    query.add_order_by(term);
  };
  if (pricesJoin) {
    pricePath_ = {artNumber_->id};
    priceListPath_ = {artNumber_->id, priceList_->id};
    if (price_ != nullptr) {
      query.add_column(price_->id, pricePath_);
      preferLargest(priceList_, pricePath_);
    }
    for (const auto* field : {listCurrency_, listIncludesVat_})
      if (field != nullptr) query.add_column(field->id, priceListPath_);
  }
  if (accountName_ != nullptr) {
    accountPath_ = {artAccount_->id};
    query.add_column(accountName_->id, accountPath_);
  }
  if (unitText_ != nullptr) {
    unitPath_ = {artUnit_->id};
    query.add_column(unitText_->id, unitPath_);
  }
  if (englishName_ != nullptr) {
    englishPath_ = {artNumber_->id};
    query.add_column(englishName_->id, englishPath_);
    preferLargest(englishLanguage_, englishPath_);
  }

  NameRowsBy(artNumber_);
  // Walked once, forward: the walk passes over an article's further rows without going back.
  auto recordset = std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query);
  int joinId = 0;
  if (pricesJoin) {
    const lumdb::filter_node_t noList(lumdb::colexpr_c(priceList_->id), nullptr);
    lumdb::filter_node_t filter = noList;
    if (!priceListName_.empty()) {
      const lumdb::filter_node_t inList(lumdb::colexpr_c(priceList_->id), kEqual, priceListName_);
      const lumdb::filter_node_t isBase(lumdb::colexpr_c(priceIsBase_->id), kEqual, true);
      filter = lumdb::filter_or_copy(lumdb::filter_and_copy(inList, isBase), noList);
    }
    (void)recordset->add_join(prices.table->id, {artNumber_->id}, {priceArticle_->id}, nullptr, &joinId);
    (void)recordset->set_join_filter(joinId, prices.table->id, filter);
  }
  if (englishJoin) {
    lumdb::filter_node_t filter(lumdb::colexpr_c(englishLanguage_->id), kEqual, std::string("EN"));
    filter.add_or(lumdb::filter_node_t(lumdb::colexpr_c(englishLanguage_->id), nullptr));
    (void)recordset->add_join(english.table->id, {artNumber_->id}, {englishArticle_->id}, nullptr, &joinId);
    (void)recordset->set_join_filter(joinId, english.table->id, filter);
  }
  OpenRecordset(std::move(recordset));
  RefuseRowsWithUnreadableFlag(*art.table, inactive, artNumber_, artName_, false);
  if (pricesJoin && !priceListName_.empty()) {
    // An article whose price row in the list has a base flag that does not read has no price to send.
    const lumdb::filter_node_t inList(lumdb::colexpr_c(priceList_->id), kEqual, priceListName_);
    RefuseRowsWithUnreadableFlag(*prices.table, priceIsBase_, priceArticle_, nullptr, true, &inList);
  }
}

bool CSqlAdminArticleDb::IsAvailable() { return IdentifyCompany(companyFolder(), false).edition != 200; }

void CSqlAdminArticleDb::AddWarnings(std::vector<ReportRow>& rows) {
  AddUnreadRowsRow(rows);
  // Asked only without a price list: a forward-only recordset counts by reading it again.
  if (priceListName_.empty() && GetRecordCount() != 0)
    rows.push_back(ReportRow{"", "", report::kMisc, report::kCaptionWarning, kNoPriceListWarning});
}

bool CSqlAdminArticleDb::IncludesVat() const { return GetColumnBool(listIncludesVat_, &priceListPath_); }

std::string CSqlAdminArticleDb::GetNetPrice() {
  return priceListName_.empty() || IncludesVat() ? std::string() : GetColumnString(price_, &pricePath_);
}

std::string CSqlAdminArticleDb::GetGrossPrice() {
  return priceListName_.empty() || !IncludesVat() ? std::string() : GetColumnString(price_, &pricePath_);
}

int CSqlAdminArticleDb::GetRotRutType() { return CloudRotRutType(StrToIntOrZero(GetColumnString(artWorkType_))); }
