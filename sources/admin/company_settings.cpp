#include "sources/admin/company_settings.h"

#include <algorithm>
#include <string_view>

#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "sources/admin/logical_field.h"

namespace {

// Code of the desktop program, told by the first character of the product code.
int ExportApplicationOf(std::string_view productCode) {
  if (productCode.empty()) return -1;
  switch (productCode.front()) {
    case '0': return 1;
    case '5': return 2;
    case '1': return 3;
    case '2': return 4;
    case 'W': return 5;
    case 'F': return 6;
    default: return 0;
  }
}

// The characters from `first` (0-based) on, at most `count` of them; never splits a character.
std::string_view Characters(std::string_view utf8, std::size_t first, std::size_t count) {
  auto offsetOf = [&](std::size_t chars) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < utf8.size() && n < chars; ++n) {
      ++i;
      while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return i;
  };
  std::size_t begin = offsetOf(first);
  std::size_t end = offsetOf(first + count);
  return utf8.substr(begin, end - begin);
}

// The company form by the organisation number's characters and the name.
int CompanyTypeOf(std::string_view orgNo, std::string_view name) {
  if (platform::Utf8Length(orgNo) <= 4) return 0;
  return CompanyFormOf(ToInt(Characters(orgNo, 2, 2)), orgNo.front(), name);
}

}  // namespace

CAdminCompanySettings::CAdminCompanySettings(std::string folder) : CAdminPrm(std::move(folder)) {
  settings_.exportApplication = -1;
  settings_.vatPeriod = 1;
  settings_.corporateIdentityNumber = GetOrgNr();
  settings_.name = CAdminPrm::GetName();
  settings_.address1 = GetField(colPostAdr_);
  settings_.postalCode = GetFieldNoBlanks(colPostNr_);
  settings_.city = GetField(colOrt_);
  settings_.phone = GetFieldNoBlanks(colTel_);
  settings_.email = GetField(colEpost_);
  settings_.web = GetField(colWww_);
  settings_.vatNumber = GetFieldDigits(colMomsRegNr_);
  settings_.bankgiroNumber = GetFieldNoBlanks(colBgiro_);
  settings_.plusgiroNumber = GetFieldNoBlanks(colPgiro_);
  settings_.residence = GetField(colSate_);
  settings_.ediGlnNumber = GetField(colEanLoc_);

  // An older PRM.DBF may lack the flags: that reads as not set.
  CheckValue(*this, {"EJ_FSKATT", colEjFSkatt_, ValueForm::Logical}, false);
  CheckValue(*this, {"H_SKVHUS", colHSkvHus_, ValueForm::Logical}, false);
  settings_.hasFTaxCard = !IsLogicalSet(GetField(colEjFSkatt_));
  settings_.usesRotReducedInvoicing = IsLogicalSet(GetField(colHSkvHus_));
  if (HasRecords()) {
    settings_.usesReversedConstructionVat =
        platform::GetProfileInt(platform::ResolveNoCase(Folder(), "ftg.ini"), "Byggtjanst", "Active", 0) == 1;
  }

  ReadNextNumbers();

  const std::string productCode = GetPrgType();
  settings_.exportApplication = ExportApplicationOf(productCode);
  settings_.companyType = CompanyTypeOf(settings_.corporateIdentityNumber, settings_.name);

  settings_.companyBankBic = GetFieldNoBlanks(colSwiftAdr_);
  (settings_.companyBankBic.empty() ? settings_.companyBankAccountBban : settings_.companyBankAccountIban) = GetFieldNoBlanks(colIbanNr_);

  // The invoicing program reports no VAT.
  if (productCode == "W") {
    settings_.vatPeriod = -1;
  } else {
    const CAdminPrm2 prm2(Folder());
    CheckValue(prm2, prm2.VatPeriodColumn(), true);
    const std::string code = prm2.GetVatPeriodCode();
    settings_.vatPeriod = code == "1" ? 3 : code == "2" ? 4 : 1;
    prm2.AddSettingsTableRows(sideTableRows_);
  }
}

// Series 1 quotes, 2 orders, 3 invoices; a later record of a series overrides an earlier one.
void CAdminCompanySettings::ReadNextNumbers() {
  CAdminNewNumDb numbers(Folder());
  for (bool live = numbers.MoveFirstRecord(); live; live = numbers.MoveNextRecord()) {
    CheckValue(numbers, numbers.IdColumn(), true);
    const int series = numbers.WholeNumberValue(numbers.IdColumn().column).value_or(0);
    if (series < 1 || series > 3) continue;
    CheckValue(numbers, numbers.NrColumn(), true);
    const int next = numbers.WholeNumberValue(numbers.NrColumn().column).value_or(0);
    if (series == 1) settings_.nextCustomerQuoteNumber = next;
    if (series == 2) settings_.nextCustomerOrderNumber = next;
    if (series == 3) settings_.nextCustomerInvoiceNumber = next;
  }
  numbers.AddRequiredTableRows(sideTableRows_);
}

void CAdminCompanySettings::CheckValue(const CAdminCompanyDb& table, const CheckedColumn& checked, bool required) {
  if (!table.HasRecords()) return;
  const bool missing = checked.column < 0;
  if (missing ? !required : !table.FirstUnreadValue({checked})) return;
  ReportRow row{"", "", report::kError, report::kCaptionError, table.UnreadValueText(checked)};
  // A column the table lacks is said once, not once per record.
  if (std::find(unreadValueRows_.begin(), unreadValueRows_.end(), row) == unreadValueRows_.end())
    unreadValueRows_.push_back(std::move(row));
}

