#include "sources/vardo/vardo_company_settings.h"

#include <map>

#include "platform/text.h"
#include "sources/vardo/vardo_environment.h"
#include "sources/vardo/vardo_reader_values.h"

namespace {

constexpr int kInvoiceSeries = 101;
constexpr int kOrderSeries = 103;
constexpr int kQuoteSeries = 116;

struct VardoSeriesRow {
  int printNum = 0;
  int lastNum = 0;
};

// The next number of a series: after the printed entry's last number, or after
// the last entry's when none is printed; 1 for a series without entries.
int NextNumber(const std::multimap<int, VardoSeriesRow>& series, int id) {
  const auto [begin, end] = series.equal_range(id);
  if (begin == end) return 1;
  for (auto it = begin; it != end; ++it) {
    if (it->second.printNum == 1) return it->second.lastNum + 1;
  }
  return std::prev(end)->second.lastNum + 1;
}

int VatPeriodOf(int stored) {
  switch (stored) {
    case 3:
      return 3;
    case 12:
      return 4;
    default:
      return 1;
  }
}

int ExportApplicationOf(const std::string& edition) {
  if (edition == "500") return 11;
  if (edition == "750") return 12;
  if (edition == "1000") return 13;
  if (edition == "1500") return 14;
  if (edition == "3000") return 15;
  return -1;
}

// The UTF-8 characters at 0-based positions [first, first + count) of the text.
std::string Characters(const std::string& text, std::size_t first, std::size_t count) {
  const std::size_t from = platform::Utf8Truncate(text, first).size();
  const std::size_t to = platform::Utf8Truncate(text, first + count).size();
  return text.substr(from, to - from);
}

}  // namespace

// The third and fourth characters of an organisation number are the month of
// a personal identity number (01-12), above 19 for a legal person, whose first
// digit then tells its form; the name tells partnerships and associations apart.
int VardoCompanyType(const std::string& orgNo, const std::string& name) {
  if (platform::Utf8Length(orgNo) <= 4) return 0;
  const vardo_values::LeadingInteger middle = vardo_values::ReadLeadingInteger(Characters(orgNo, 2, 2));
  return CompanyFormOf(middle.found ? middle.value : 0, orgNo.front(), name);
}

CVardoCompanySettings::CVardoCompanySettings(std::string companyFolder) : CVardoPrm(std::move(companyFolder)) {
  constexpr int kTable = vardo_table::kClient;
  // The company's record is the table's first; positioned on it whatever an earlier reader left current.
  CVardoCompanyDb::MoveFirst();
  settings_.companyBankBic = GetString(kTable, "SWIFT");
  // Without a BIC the account number is a domestic one.
  (settings_.companyBankBic.empty() ? settings_.companyBankAccountBban : settings_.companyBankAccountIban) =
      GetString(kTable, "IBAN");
  settings_.corporateIdentityNumber = GetString(kTable, "ORGNO");
  settings_.name = GetString(kTable, "CLNAME");
  settings_.address1 = GetString(kTable, "ADR1");
  settings_.address2 = GetString(kTable, "ADR2");
  SplitPostalCodeAndCity(GetString(kTable, "ADR3").c_str(), settings_.postalCode, settings_.city);
  settings_.phone = GetString(kTable, "PHONE1");
  settings_.mobile = GetString(kTable, "PHONE2");
  settings_.email = GetString(kTable, "MAIL");
  settings_.web = GetString(kTable, "WEB");
  settings_.vatNumber = GetString(kTable, "VATREG");
  settings_.hasFTaxCard = !settings_.vatNumber.empty();
  settings_.bankgiroNumber = GetString(kTable, "BANKGIRO");
  settings_.plusgiroNumber = GetString(kTable, "PLUSGIRO");
  settings_.residence = GetString(kTable, "SITE");
  settings_.ediGlnNumber = GetString(kTable, "EAN");
  settings_.vatPeriod = VatPeriodOf(GetLong(kTable, "VATPER"));
  // A value of the company's record that does not read holds every setting back, as a record that cannot be read.
  if (!DamagedValues().empty()) CountAsUnreadable(VardoDamagedValuesText(DamagedValues()));
  ReadNumberSeries();
  settings_.exportApplication = ExportApplicationOf(GetVardoEditionText());
  settings_.companyType = VardoCompanyType(settings_.corporateIdentityNumber, settings_.name);
}

void CVardoCompanySettings::ReadNumberSeries() {
  constexpr int kTable = vardo_table::kSeries;
  std::multimap<int, VardoSeriesRow> series;
  CVardoClientsettingsDb table(CompanyFolder());
  for (bool more = table.MoveFirst(); more; more = table.MoveNext()) {
    const int id = table.GetLong(kTable, "ID");
    const VardoSeriesRow row{table.GetLong(kTable, "PRINTNUM"), table.GetLong(kTable, "LASTNUM")};
    // A series entry that does not read would make up the next number of its series, or of another.
    if (!table.DamagedValues().empty()) {
      table.CountAsUnreadable(VardoDamagedValuesText(table.DamagedValues()));
      continue;
    }
    series.emplace(id, row);
  }
  KeepDamageOf(table);
  settings_.nextCustomerInvoiceNumber = NextNumber(series, kInvoiceSeries);
  settings_.nextCustomerOrderNumber = NextNumber(series, kOrderSeries);
  settings_.nextCustomerQuoteNumber = NextNumber(series, kQuoteSeries);
}
