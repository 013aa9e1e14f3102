#include "sources/admin/article_reader.h"

#include "app/reader_interfaces/rot_rut_type.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "sources/admin/article_tables.h"
#include "sources/admin/price_list_table.h"
#include "sources/admin/register_edition.h"

namespace {

const char* const kNoPriceListWarning = "Det finns ingen prislista i SEK så inga priser kommer att överföras.";

template <class Map>
std::string ValueOr(const Map& map, const std::string& key) {
  auto it = map.find(key);
  return it == map.end() ? std::string() : it->second;
}

}  // namespace

CAdminArticleDb::CAdminArticleDb(std::string folder, std::string priceListCode)
    : CAdminCompanyDb(std::move(folder), kFileName), priceListCode_(std::move(priceListCode)) {
  ReadPrices();
  ReadIncludesVat();
  ReadEnglishNames();
  ReadUnits();
  ReadAccountNames();
}

// The first base price of each article in the chosen list, as stored. A
// record of the list whose base flag or price does not read may be that first
// base price: the article's price is then one that cannot be read.
void CAdminArticleDb::ReadPrices() {
  CAdminPriceDb prices(Folder());
  for (bool live = prices.MoveFirstRecord(); live; live = prices.MoveNextRecord()) {
    if (prices.GetPriceList() != priceListCode_) continue;
    if (const auto unread = prices.UnreadPriceValue()) {
      prices_.try_emplace(prices.GetArticleNumber(), Price{"", prices.UnreadValueText(*unread)});
    } else if (prices.IsBasePrice()) {
      prices_.try_emplace(prices.GetArticleNumber(), Price{prices.GetPrice(), ""});
    }
  }
  prices.AddDamageRows(sideTableRows_, "priser saknas");
}

// When the chosen list is not among the lists that could be read, whether its
// prices include VAT is not known: no price is sent rather than one of the wrong kind.
void CAdminArticleDb::ReadIncludesVat() {
  CAdminPriceListDb lists(Folder());
  bool found = false;
  // Walked to the end, past the list found, so that no damaged record goes unsaid.
  for (bool live = lists.MoveFirstRecord(); live; live = lists.MoveNextRecord()) {
    if (!found && lists.GetPriceListCode() == priceListCode_) {
      if (const auto unread = lists.FirstUnreadValue({lists.IncludesVatColumn()})) {
        prices_.clear();
        sideTableRows_.push_back(
            {"", "", report::kError, report::kCaptionError, lists.UnreadValueText(*unread, "priser saknas")});
      }
      includesVat_ = IsLogicalSet(lists.GetIncludesVat());
      found = true;
    }
  }
  const bool costsPrices = !found && !priceListCode_.empty() && lists.IsDamaged();
  if (costsPrices) prices_.clear();
  lists.AddDamageRows(sideTableRows_, costsPrices ? "priser saknas" : "");
}

// English names matter only to a company that invoices or is invoiced in foreign currency.
void CAdminArticleDb::ReadEnglishNames() {
  const std::string ini = platform::ResolveNoCase(Folder(), "ftg.ini");
  if (platform::GetProfileInt(ini, "Company", "CurrencyClient", 0) != 1 &&
      platform::GetProfileInt(ini, "Company", "CurrencySupplier", 0) != 1)
    return;
  CAdminArticleNameDb names(Folder());
  for (bool live = names.MoveFirstRecord(); live; live = names.MoveNextRecord()) {
    if (names.GetLanguageCode() == "EN") englishNames_.try_emplace(names.GetArticleNumber(), names.GetName());
  }
  names.AddDamageRows(sideTableRows_, "engelska benämningar saknas");
}

// A unit whose domestic flag does not read may be the code's domestic unit:
// the code is then passed on as it stands, with no other record's name.
void CAdminArticleDb::ReadUnits() {
  CAdminUnitCodeDb units(Folder());
  for (bool live = units.MoveFirstRecord(); live; live = units.MoveNextRecord()) {
    if (const auto unread = units.FirstUnreadValue({units.DomesticColumn()})) {
      units_.try_emplace(units.GetUnitCode(), Unit{});
      sideTableRows_.push_back({"", "", report::kWarning, report::kCaptionWarning,
                                units.UnreadValueText(*unread, "enhet " + units.GetUnitCode() + " saknas")});
    } else if (units.IsDomestic()) {
      units_.try_emplace(units.GetUnitCode(), Unit{units.GetIsoCode(), units.GetText()});
    }
  }
  units.AddDamageRows(sideTableRows_, "enheter saknas");
}

void CAdminArticleDb::ReadAccountNames() {
  CAdminArticleAccountDb accounts(Folder());
  for (bool live = accounts.MoveFirstRecord(); live; live = accounts.MoveNextRecord())
    accountNames_.try_emplace(accounts.GetAccountCode(), accounts.GetName());
  accounts.AddDamageRows(sideTableRows_, "kontonamn saknas");
}

bool CAdminArticleDb::IsAvailable() { return EditionKeepsRegisters(Folder()); }

void CAdminArticleDb::AddWarnings(std::vector<ReportRow>& rows) {
  AddDamageRows(rows);
  if (GetRecordCount() != 0 && priceListCode_.empty())
    rows.push_back(ReportRow{"", "", report::kMisc, report::kCaptionWarning, kNoPriceListWarning});
}

std::string CAdminArticleDb::GetNameEnglish() { return ValueOr(englishNames_, GetNumber()); }

bool CAdminArticleDb::CheckCurrent(std::vector<ReportRow>& rows) {
  using enum ValueForm;
  const std::string number = GetNumber(), name = GetName();
  if (RefuseUnread(rows, number, name, {{"INAKTIV", colInactive_, Logical}})) return false;
  if (!IsActive()) return false;
  if (RefuseUnread(rows, number, name, {{"ILAGER", colStock_, Number}, {"H_TYPID", colRotRut_, WholeNumber}}))
    return false;
  if (const Price* price = PriceOfCurrent(); price && !price->unread.empty()) {
    rows.push_back(report::RecordRow(number, name, report::kError, report::kCaptionError, price->unread));
    return false;
  }
  return true;
}

const CAdminArticleDb::Price* CAdminArticleDb::PriceOfCurrent() {
  if (priceListCode_.empty()) return nullptr;
  const auto it = prices_.find(GetNumber());
  return it == prices_.end() ? nullptr : &it->second;
}

std::string CAdminArticleDb::GetNetPrice() {
  const Price* price = PriceOfCurrent();
  return includesVat_ || !price ? std::string() : price->price;
}
std::string CAdminArticleDb::GetGrossPrice() {
  const Price* price = PriceOfCurrent();
  return !includesVat_ || !price ? std::string() : price->price;
}

// The cloud knows units by their ISO code where the company gave one.
std::string CAdminArticleDb::GetUnitCode() {
  std::string code = GetField(colUnit_);
  auto it = units_.find(code);
  return it != units_.end() && !it->second.isoCode.empty() ? it->second.isoCode : code;
}

std::string CAdminArticleDb::GetUnitName() {
  auto it = units_.find(GetField(colUnit_));
  return it == units_.end() ? std::string() : it->second.name;
}

std::string CAdminArticleDb::GetArticleAccountName() { return ValueOr(accountNames_, GetArticleAccountCode()); }

// The company's house-work type ids (1 to 43, mostly in pairs of a ROT or RUT
// variant) mapped onto the cloud's ROT/RUT types; 0 for none.
int CAdminArticleDb::GetRotRutType() { return CloudRotRutType(WholeNumberValue(colRotRut_).value_or(0)); }
