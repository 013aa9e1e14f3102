#include "sources/vardo/vardo_article_reader.h"

#include "sources/vardo/vardo_companies.h"
#include "sources/vardo/vardo_text_tables.h"

namespace {
constexpr int kFirstUnitName = 361;
constexpr int kLastUnitName = 370;
constexpr int kUnitCodeOffset = 500;  // the code of unit text n is text n + 500
}  // namespace

CVardoArticleAccountDb::CVardoArticleAccountDb(std::string companyFolder)
    : CVardoCompanyDb(std::move(companyFolder), "ACCOUNT") {
  SetTableId(vardo_table::kAccount);
}

CVardoArticleDb::CVardoArticleDb(std::string companyFolder, std::string)
    : CVardoCompanyDb(std::move(companyFolder), "ARTICLE.DBF") {
  SetTableId(kTable);
  ReadUnits();
  ReadAccounts();
}

bool CVardoArticleDb::CheckCurrent(std::vector<ReportRow>& rows) {
  if (const auto damaged = DamagedAmong({&article_.inactive, &article_.vatIncluded, &article_.price, &article_.stock});
      !damaged.empty()) {
    rows.push_back(DamagedValuesRow(GetNumber(), GetName(), damaged, true));
    return false;
  }
  if (!IsActive()) return false;
  if (const auto damaged = DamagedAmong({&article_.unit}); !damaged.empty()) {
    rows.push_back(DamagedValuesRow(GetNumber(), GetName(), damaged, false));
  }
  return true;
}

bool CVardoArticleDb::IsAvailable() { return IdentifyVardoCompany(CompanyFolder()).edition != 0; }

// A unit's code is kept whichever of its two texts the table holds first; of
// two texts with one number, the later one counts.
void CVardoArticleDb::ReadUnits() {
  std::map<int, std::string> codes;  // by the number of the unit's name text
  CVardoUnitCodeDb texts(CompanyFolder());
  for (bool more = texts.MoveFirst(); more; more = texts.MoveNext()) {
    if (texts.PassUnreadableNumber()) continue;
    const int number = texts.GetTextNumber();
    if (number >= kFirstUnitName && number <= kLastUnitName) {
      if (std::string name = texts.GetTextName(); !name.empty()) units_[number] = {"", std::move(name)};
    } else if (number >= kFirstUnitName + kUnitCodeOffset && number <= kLastUnitName + kUnitCodeOffset) {
      codes[number - kUnitCodeOffset] = texts.GetTextName();
    }
  }
  KeepDamageOf(texts, "enheter saknas");
  for (auto& [number, code] : codes) {
    if (const auto unit = units_.find(number); unit != units_.end()) unit->second.code = std::move(code);
  }
}

void CVardoArticleDb::ReadAccounts() {
  constexpr int kAccounts = vardo_table::kAccount;
  CVardoArticleAccountDb accounts(CompanyFolder());
  VardoField number{kAccounts, "ACCNO"}, name{kAccounts, "ACCNAME"};
  for (bool more = accounts.MoveFirst(); more; more = accounts.MoveNext()) {
    accountNames_[accounts.GetString(number)] = accounts.GetString(name);
  }
  KeepDamageOf(accounts, "kontonamn saknas");
}

const CVardoArticleDb::VardoUnitText* CVardoArticleDb::Unit(int& textNumber) {
  // A unit that does not read is no unit, never the first of the range.
  if (!DamagedAmong({&article_.unit}).empty()) return nullptr;
  textNumber = TextNumberInRange(GetLong(article_.unit), kFirstUnitName, kLastUnitName);
  const auto unit = units_.find(textNumber);
  return unit == units_.end() ? nullptr : &unit->second;
}

std::string CVardoArticleDb::GetUnitCode() {
  int textNumber = 0;
  const VardoUnitText* unit = Unit(textNumber);
  if (!unit) return "";
  return unit->code.empty() ? FormatInteger(textNumber) : unit->code;
}

std::string CVardoArticleDb::GetUnitName() {
  int textNumber = 0;
  const VardoUnitText* unit = Unit(textNumber);
  return unit ? unit->name : std::string();
}

std::string CVardoArticleDb::GetArticleAccountName() {
  const auto account = accountNames_.find(GetString(article_.account));
  return account == accountNames_.end() ? std::string() : account->second;
}
