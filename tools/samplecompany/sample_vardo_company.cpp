#include "tools/samplecompany/sample_vardo_company.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "tools/fixtures/pe_version_writer.h"
#include "tools/samplecompany/sample_company.h"

namespace samplecompany {
namespace {

using fixtures::DbfColumn;
using fixtures::DbfWriter;
using Row = std::vector<std::string>;

DbfWriter Writer(const VardoSampleOptions& o, std::vector<DbfColumn> columns) {
  DbfWriter writer(o.format, std::move(columns));
  writer.Encoding(o.codePage);
  return writer;
}

std::string Date(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
  return text;
}

std::string Money(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

const std::vector<std::string> kNames = {"Örjans Rör AB",    "Åkerlunds Måleri", "Bäckströms El",
                                         "Sjöbergs Trä AB",  "Fältskärs Bygg",   "Högbergs Glas",
                                         "Nyströms Plåt",    "Ängsgårdens Gård", "Lövgrens Fastigheter"};
const std::vector<std::string> kCities = {"Göteborg", "Malmö", "Umeå", "Västerås", "Örebro", "Jönköping", "Växjö"};

template <typename T>
const T& Pick(const std::vector<T>& list, int i) {
  return list[static_cast<std::size_t>(i) % list.size()];
}

void WriteClient(const std::filesystem::path& folder, const VardoSampleOptions& o) {
  Writer(o, {{"ORGNO", 'C', 15},   {"CLNAME", 'C', 40},   {"ADR1", 'C', 40},    {"ADR2", 'C', 40},
             {"ADR3", 'C', 40},    {"PHONE1", 'C', 20},   {"PHONE2", 'C', 20},  {"MAIL", 'C', 60},
             {"WEB", 'C', 60},     {"VATREG", 'C', 20},   {"BANKGIRO", 'C', 12}, {"PLUSGIRO", 'C', 12},
             {"SITE", 'C', 30},    {"EAN", 'C', 13},      {"IBAN", 'C', 34},    {"SWIFT", 'C', 11},
             {"VATPER", 'N', 2}})
      .Add({kOrgNo, kVardoCompanyName, "Sjöbergsgatan 4", "Box 118", "SE-412 51 Göteborg", "031-70 80 90",
            "070-123 45 67", "info@akessonbygg.se", "www.akessonbygg.se", "SE556677889901", "5432-1098", "",
            "Göteborg", "7350000000018", "SE35 5000 0000 0549 1000 0003", "ESSESESS", "3"})
      .WriteTo(folder / "CLIENT.DBF");

  // Series 101 invoices (the printed entry wins), 103 orders (the last entry), 116 quotes.
  Writer(o, {{"ID", 'N', 4}, {"YEARNO", 'N', 4}, {"PRINTNUM", 'N', 2}, {"LASTNUM", 'N', 10}})
      .Add({"101", "1", "0", "40"})
      .Add({"101", "2", "1", "5150"})
      .Add({"103", "1", "0", "700"})
      .Add({"103", "2", "0", "812"})
      .Add({"116", "2", "1", "9"})
      .AddDeleted({"101", "3", "1", "99999"})
      .WriteTo(folder / "SERIES.DBF");
}

void WriteBookkeeping(const std::filesystem::path& folder, const VardoSampleOptions& o, int year) {
  // The year after the current one has begun in the table but not in time; the walk stops before it.
  Writer(o, {{"YEARNO", 'N', 4}, {"BEGIN", 'D', 8}, {"END", 'D', 8}, {"ACCCHART", 'N', 4}})
      .Add({"1", Date(year - 2, 1, 1), Date(year - 2, 12, 31), "250"})
      .AddDeleted({"9", Date(year - 3, 1, 1), Date(year - 3, 12, 31), "150"})
      .Add({"2", Date(year - 1, 1, 1), Date(year - 1, 12, 31), "250"})
      .Add({"3", Date(year, 1, 1), Date(year, 12, 31), "250"})
      .Add({"4", Date(year + 1, 1, 1), Date(year + 1, 12, 31), "250"})
      .WriteTo(folder / "ACCYEAR.DBF");

  // ACCVAT: 0 none, 1 high, 2 middle, 3 low. The old chart 150 keeps an account
  // of the kind the SIE check refuses ("0100"); it is not the current chart, so it passes.
  const std::vector<std::pair<std::string, std::string>> accounts = {
      {"1510", "Kundfordringar"},        {"1930", "Företagskonto"},          {"2440", "Leverantörsskulder"},
      {"2611", "Utgående moms, 25 %"},   {"2641", "Ingående moms"},          {"3001", "Försäljning av tjänster"},
      {"3051", "Försäljning av varor"},  {"3740", "Öres- och kronutjämning"}, {"4010", "Inköp av varor"},
      {"5010", "Lokalhyra"},             {"6110", "Kontorsmateriel"},        {"8310", "Ränteintäkter"}};
  auto konto = Writer(o, {{"ACCNO", 'C', 6}, {"ACCNAME", 'C', 40}, {"ACCVAT", 'N', 1}, {"ACCCHART", 'N', 4}});
  for (const auto& [number, name] : accounts) konto.Add({number, name, number.starts_with('3') ? "1" : "0", "250"});
  konto.Add({"0100", "Gammalt kassakonto", "0", "150"})
      .Add({"1910", "Kassa", "0", "150"})
      .AddDeleted({"9999", "Borttaget konto", "0", "250"})
      .WriteTo(folder / "ACCOUNT.DBF");
}

void WriteTexts(const std::filesystem::path& folder, const VardoSampleOptions& o) {
  // Units 361..370 with codes 861..870; delivery terms 220..229; delivery
  // methods 231..240; payment terms 421..430. Numbers next to a range, and
  // names of one character, belong to no kind.
  Writer(o, {{"TEXTNO", 'N', 4}, {"TEXTNAME", 'C', 40}})
      .Add({"361", "Styck"})
      .Add({"861", "st"})
      .Add({"362", "Timme"})
      .Add({"862", "tim"})
      .Add({"363", "Meter"})     // no code: the unit code is its text number
      .Add({"869", "xx"})        // a code without its unit: ignored
      .Add({"219", "Utanför leveransvillkoren"})
      .Add({"220", "Fritt vårt lager"})
      .Add({"221", "Fritt kunds lager"})
      .Add({"225", "X"})         // one character: refused
      .Add({"230", "Mellan villkor och sätt"})
      .Add({"231", "Post"})
      .Add({"232", "Bil från Göteborg"})
      .Add({"240", "Kunden hämtar själv"})
      .Add({"241", "Utanför leveranssätten"})
      .Add({"421", "30 dagar netto"})
      .Add({"422", "Kontant"})
      .Add({"423", "Netto 10 dagar"})  // text before the number: the text number is the code
      .Add({"424", "200 dagar"})       // 180 days and more: the text number
      .Add({"425", "-"})               // one character: not a term
      .AddDeleted({"426", "Borttaget villkor"})
      .WriteTo(folder / "TEXT.DBF");
}

void WritePersons(const std::filesystem::path& folder, const VardoSampleOptions& o) {
  auto person = Writer(o, {{"ID", 'C', 10},       {"TYPE", 'C', 2},     {"ORGNO", 'C', 15},  {"REF", 'C', 40},
                           {"CURRENCY", 'C', 3},  {"EAN", 'C', 13},     {"MAIL", 'C', 60},   {"ADR1", 'C', 40},
                           {"ADR2", 'C', 40},     {"ADR3", 'C', 40},    {"COUNTRY", 'C', 2}, {"PNAME", 'C', 40},
                           {"PHONE1", 'C', 20},   {"PHONE2", 'C', 20},  {"VATREG", 'C', 20}, {"WEB", 'C', 60},
                           {"INACTIVE", 'L', 1},  {"WOD", 'N', 2},      {"TOD", 'N', 2},     {"CREDIT", 'N', 2},
                           {"ACC1", 'C', 6},      {"SWIFT", 'C', 11},   {"BANKGIRO", 'C', 12}, {"IBAN", 'C', 34},
                           {"BANK", 'C', 30},     {"PLUSGIRO", 'C', 12}});
  // The first record is a customer: the customer reader builds its look-ups only then.
  person
      .Add({"1001", " 1", "556012-3459", "Göran Ek", "SEK", "7350000000025", "inkop@orjansror.se", "Rörvägen 3",
            "Box 12", "123 45 Stad", "SE", "Örjans Rör AB", "08-123 456", "070-111 22 33", "SE556012345901",
            "www.orjansror.se", "F", "0", "0", "0", "1510", "", "", "", "", ""})
      .Add({"1001", " 3", "", "", "", "", "", "Lagervägen 9", "", "413 01 Göteborg", "SE", "Örjans Rör, lager",
            "031-55 55 55", "", "", "", "F", "0", "0", "0", "", "", "", "", "", ""})
      .Add({"1002", " 1", "556999-0001", "", "SEK", "", "", "Gamla vägen 1", "", "811 91 Sandviken", "SE",
            "Nedlagda Bolaget AB", "", "", "", "", "T", "1", "1", "1", "1510", "", "", "", "", ""})  // inactive
      .Add({"1003", " 1", "640823-3234", "", "SEK", "", "lena@example.se", "Storgatan 1", "", "", "SE",
            "Lena Sjögren", "", "073-456 78 90", "", "", "F", "1", "1", "2", "1510", "", "", "", "", ""})
      .Add({"2001", " 2", "556200-1113", "Kjell Hägg", "SEK", "", "order@sjobergstra.se", "Sågverksvägen 2", "",
            "931 33 Skellefteå", "SE", "Sjöbergs Trä AB", "0910-12 34 56", "", "", "www.sjobergstra.se", "F", "0", "0",
            "1", "2440", "", "5050-1055", "", "", ""})
      .Add({"2002", " 2", "", "", "EUR", "", "", "Rue de Rivoli 10", "", "75001 Paris", "FR", "Outils de Paris SARL",
            "", "", "", "", "F", "0", "0", "0", "2440", "BNPAFRPP", "", "FR1420041010050500013M02606", "BNP Paribas",
            ""})
      .Add({"2003", " 2", "", "", "SEK", "", "", "Kvarngatan 5", "", "", "SE", "Vilande Leverantören AB", "", "",
            "", "", "T", "0", "0", "0", "2440", "", "", "", "", ""})  // inactive
      .Add({"2004", "2", "", "", "SEK", "", "", "Utan blanksteg", "", "111 22 Stockholm", "SE",
            "Typen utan blanksteg AB", "", "", "", "", "F", "0", "0", "0", "2440", "", "", "", "", "12 34 56-7"})
      .AddDeleted({"1999", " 1", "", "", "SEK", "", "", "", "", "", "SE", "Borttagen kund", "", "", "", "", "F", "0",
                   "0", "0", "", "", "", "", "", ""});
  for (int i = 0; i < o.customers; ++i) {
    const std::string city = Pick(kCities, i);
    person.Add({std::to_string(1100 + i), " 1", "", "", "SEK", "", "kund" + std::to_string(i) + "@example.se",
                "Kundgatan " + std::to_string(1 + i), "", std::to_string(400 + i % 500) + " 1" + std::to_string(i % 10) + " " + city,
                "SE", Pick(kNames, i) + " " + std::to_string(i), "", "", "", "", "F", std::to_string(i % 3),
                std::to_string(i % 2), std::to_string(i % 3), "1510", "", "", "", "", ""});
  }
  for (int i = 0; i < o.suppliers; ++i) {
    person.Add({std::to_string(2100 + i), " 2", "", "", "SEK", "", "", "Leverantörsvägen " + std::to_string(1 + i), "",
                "50" + std::to_string(i % 10) + " 30 " + Pick(kCities, i + 3), "SE", Pick(kNames, i + 4) + " Grossist",
                "", "", "", "", "F", "0", "0", "0", "2440", "", "123-456" + std::to_string(i % 10), "", "", ""});
  }
  person.WriteTo(folder / "PERSON.DBF");

  Writer(o, {{"HISTTYPE", 'N', 2}, {"REF", 'C', 10}, {"TXT", 'C', 80}})
      .Add({"4", "1001", "Ring före leverans."})
      .Add({"3", "1001", "Inte en anteckning."})
      .Add({"4", "1001", "Portkod 1234, släpp av vid lastkajen."})
      .Add({"4", "2001", "Leverantörens anteckning."})
      .WriteTo(folder / "HISTORY.DBF");

  Writer(o, {{"TYPE", 'N', 2}, {"ID", 'C', 10}, {"KEY", 'C', 20}, {"VALUE", 'C', 40}})
      .Add({"1", "1001", "EDIYourRef", "REF-77"})
      .Add({"2", "1001", "EDIYourRef", "Leverantörens referens"})  // another person type
      .Add({"1", "1003", "EDIYourRef", "X"})                       // one character: not kept
      .Add({"1", "1003", "EDIOurRef", "Inte vår nyckel"})
      .WriteTo(folder / "PERSSETTINGS.DBF");
}

void WriteArticles(const std::filesystem::path& folder, const VardoSampleOptions& o) {
  auto articles = Writer(o, {{"ARTNO", 'C', 16},    {"ARTNAME", 'C', 40}, {"ARTNAME2", 'C', 40},
                             {"ARTACC1", 'C', 6},   {"VATINCL", 'N', 1},  {"ARTUNIT", 'N', 2},
                             {"ARTPRICE0", 'N', 12, 2}, {"ARTSTOCK", 'N', 12, 2}, {"INACTIVE", 'L', 1}});
  articles.Add({"A100", "Fönsterbåge, målning", "Window frame painting", "3001", "0", "1", "450.00", "0.00", "F"})
      .Add({"A101", "Skruv rostfri 4x40", "Stainless screw", "3051", "1", "0", "125.50", "1250.00", "F"})  // gross price
      .Add({"A102", "Kopparrör 15 mm", "", "3051", "2", "2", "89.90", "-3.00", "F"})
      .Add({"A103", "Utgången tätningslist", "", "3051", "0", "0", "12.00", "0.00", "T"})  // inactive: refused
      .Add({"A104", "Specialbeställning", "", "3999", "0", "5", "0.00", "0.00", "F"})  // account and unit unknown
      .AddDeleted({"A105", "Borttagen artikel", "", "3051", "0", "0", "1.00", "0.00", "F"});
  for (int i = 0; i < o.articles; ++i) {
    articles.Add({"B" + std::to_string(200 + i), "Bräda " + Pick(kCities, i) + " " + std::to_string(i), "",
                  i % 2 ? "3001" : "3051", std::to_string(i % 2), std::to_string(i % 3),
                  Money(19.5 + i * 7.25), Money(i * 3.0), "F"});
  }
  articles.WriteTo(folder / "ARTICLE.DBF");
}

void WriteLedger(const std::filesystem::path& folder, const VardoSampleOptions& o, int year) {
  auto ledger = Writer(o, {{"PERSTYPE", 'N', 1},  {"LEDTYPE", 'N', 2},    {"LEDNO", 'N', 8},    {"YEARNO", 'N', 4},
                           {"PERSNO", 'C', 10},   {"IVNO", 'C', 20},      {"CURRENCY", 'C', 3}, {"RESIDUAL", 'N', 12, 2},
                           {"FRESIDUAL", 'N', 12, 2}, {"FORAMOUNT", 'N', 12, 2}, {"FORVAT", 'N', 12, 2},
                           {"RATE", 'N', 10, 4},  {"LEDDATE", 'D', 8},    {"LEDDUEDATE", 'D', 8}});
  auto invoices = Writer(o, {{"INVIX", 'N', 1},   {"PERSTYPE", 'N', 1}, {"INVTYPE", 'N', 1},
                             {"INVNO", 'N', 8},   {"YEARNO", 'N', 4},   {"INVDATE", 'D', 8}});
  const std::string current = "3";
  const std::string previous = "2";
  const std::string d1 = Date(year, 2, 10);
  const std::string d2 = Date(year, 3, 12);
  const auto row = [&](const char* kind, const char* type, const std::string& number, const std::string& yearNo,
                       const char* person, const std::string& ivno, const char* currency, const std::string& residual,
                       const std::string& fresidual, const std::string& amount, const std::string& vat,
                       const char* rate) {
    ledger.Add({kind, type, number, yearNo, person, ivno, currency, residual, fresidual, amount, vat, rate, d1, d2});
  };
  // Customers: the invoice whose own date is in INVOICE.DBF, a credit, the
  // refused kinds (interest, on-account, balance above total, one number
  // twice), a paid one, an unknown type and one in euro.
  row("1", "0", "5001", current, "1001", "5001", "SEK", "1250.00", "1250.00", "1250.00", "250.00", "1.0000");
  row("1", "1", "5002", current, "1001", "5002", "SEK", "-300.00", "-300.00", "-300.00", "-60.00", "1.0000");
  row("1", "2", "5003", current, "1003", "5003", "SEK", "45.00", "45.00", "45.00", "0.00", "1.0000");
  row("1", "3", "5004", current, "1003", "5004", "SEK", "1000.00", "1000.00", "1000.00", "200.00", "1.0000");
  row("1", "0", "5005", current, "1001", "5005", "SEK", "0.00", "0.00", "800.00", "160.00", "1.0000");
  row("1", "0", "5006", current, "1003", "5006", "SEK", "120.00", "120.00", "100.00", "20.00", "1.0000");
  row("1", "0", "5001", previous, "1003", "5001", "SEK", "500.00", "500.00", "500.00", "100.00", "1.0000");
  row("1", "4", "5007", current, "1001", "5007", "SEK", "10.00", "10.00", "10.00", "2.00", "1.0000");
  row("1", "0", "5008", current, "1001", "5008", "EUR", "1120.00", "100.00", "100.00", "20.00", "11.2000");
  invoices.Add({"1", "1", "0", "5001", current, Date(year, 2, 1)})
      .Add({"2", "1", "0", "5002", current, Date(year, 1, 15)})  // another index: no date from here
      .Add({"1", "1", "0", "5001", current, Date(year, 2, 5)});   // the first of a pair wins
  // Suppliers: a payment reference that passes its check digit, one that does
  // not, a credit, a refused balance and a paid one.
  row("2", "0", "7001", current, "2001", "18", "SEK", "625.00", "625.00", "625.00", "125.00", "1.0000");
  row("2", "0", "7002", current, "2001", "19", "SEK", "250.00", "250.00", "250.00", "50.00", "1.0000");
  row("2", "1", "7003", current, "2002", "K-12", "EUR", "-1400.00", "-125.00", "-125.00", "-25.00", "11.2000");
  row("2", "0", "7004", current, "2001", "A-778", "SEK", "200.00", "200.00", "150.00", "30.00", "1.0000");
  row("2", "0", "7005", current, "2004", "77", "SEK", "0.00", "0.00", "100.00", "20.00", "1.0000");
  for (int i = 0; i < o.customerInvoices; ++i) {
    const double total = 500 + i * 37.5;
    const std::string customer = o.customers > 0 ? std::to_string(1100 + i % o.customers) : "1001";
    row("1", "0", std::to_string(6000 + i), current, customer.c_str(), std::to_string(6000 + i), "SEK", Money(total),
        Money(total), Money(total), Money(total / 5), "1.0000");
  }
  for (int i = 0; i < o.supplierInvoices; ++i) {
    const double total = 300 + i * 12.25;
    const std::string supplier = o.suppliers > 0 ? std::to_string(2100 + i % o.suppliers) : "2001";
    row("2", "0", std::to_string(8000 + i), current, supplier.c_str(), "L" + std::to_string(8000 + i), "SEK",
        Money(total), Money(total), Money(total), Money(total / 5), "1.0000");
  }
  ledger.WriteTo(folder / "LEDGER.DBF");
  invoices.WriteTo(folder / "INVOICE.DBF");
}

}  // namespace

void WriteSampleVardoCompany(const std::filesystem::path& folder, const VardoSampleOptions& options) {
  std::filesystem::create_directories(folder);
  const int year = options.bookingYear ? options.bookingYear : platform::CurrentClock().Now().year;
  WriteClient(folder, options);
  WriteBookkeeping(folder, options, year);
  WriteTexts(folder, options);
  WritePersons(folder, options);
  WriteArticles(folder, options);
  WriteLedger(folder, options, year);
  std::ofstream version(folder / "db.ver", std::ios::binary | std::ios::trunc);
  version << kVardoDatabaseVersion << "\r\n";
  if (!version) throw std::runtime_error("cannot write " + (folder / "db.ver").string());
}

std::string WriteVardoProgram(const std::filesystem::path& programFolder, const std::filesystem::path& databaseFolder,
                              const std::filesystem::path& engineFolder, int edition) {
  fixtures::WritePeFile(programFolder / "Vardo.exe", fixtures::MakePeFileWithProductVersion(kVardoProgramVersion));
  for (const char* library : {"c4dll.dll", "xfiles.dll", "PyxBase5.dll"}) {
    std::error_code error;
    std::filesystem::copy_file(engineFolder / library, programFolder / library,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error) throw std::runtime_error("cannot copy " + (engineFolder / library).string() + ": " + error.message());
  }
  char dword[16];
  std::snprintf(dword, sizeof dword, "%08x", static_cast<unsigned>(edition));
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vardo.exe]\n"
         "\"Path\"=" + RegString(programFolder.string()) + "\n\"Edition\"=dword:" + dword + "\n"
         "[HKEY_CURRENT_USER\\SOFTWARE\\Tessal Kolm\\Tessal Vardo]\n"
         "\"Database\"=" + RegString(databaseFolder.string()) + "\n";
}

}  // namespace samplecompany
