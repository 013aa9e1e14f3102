#include "tools/samplecompany/sample_company.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "tools/fixtures/pe_version_writer.h"
#include "tools/samplecompany/sample_datamodel.h"
#include "tools/samplecompany/sample_values.h"

namespace samplecompany {
namespace {

using fixtures::DbfColumn;
using fixtures::DbfWriter;
using Row = std::vector<std::string>;

// A table being written: its special records first, then the ordinary ones.
class Table {
 public:
  Table(const SampleOptions& options, std::string fileName, std::vector<DbfColumn> columns)
      : fileName_(std::move(fileName)), writer_(options.format, std::move(columns)) {
    writer_.Encoding(options.codePage);
  }
  Table& Add(const Row& row) {
    writer_.Add(row);
    return *this;
  }
  Table& AddDeleted(const Row& row) {
    writer_.AddDeleted(row);
    return *this;
  }
  void WriteInto(const std::filesystem::path& folder) const { writer_.WriteTo(folder / fileName_); }

 private:
  std::string fileName_;
  DbfWriter writer_;
};

std::string Date(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
  return text;
}

// The ordinary invoices: the open ones asked for, and after every fifth one a paid one.
int OrdinaryInvoiceCount(int open) { return open + open / 5; }

// ---------------------------------------------------------------- parameters

void WriteParameters(const std::filesystem::path& folder, const SampleOptions& o) {
  Table(o, "PRM.DBF",
        {{"ORGNR", 'C', 15},     {"NAMN", 'C', 40},      {"PRG", 'C', 3},        {"PRG_TYPE", 'C', 2},
         {"VERSION", 'N', 6, 2}, {"VALUTAKOD", 'C', 3},  {"AKI_OCR", 'L', 1},    {"KL_FKRECID", 'C', 36},
         {"POSTADR", 'C', 40},   {"POSTNR", 'C', 10},    {"ORT", 'C', 30},       {"TEL", 'C', 20},
         {"EPOST", 'C', 60},     {"WWW", 'C', 60},       {"MOMSREGNR", 'C', 20}, {"BGIRO", 'C', 12},
         {"PGIRO", 'C', 12},     {"SATE", 'C', 30},      {"EANLOC", 'C', 13},    {"EJ_FSKATT", 'L', 1},
         {"H_SKVHUS", 'L', 1},   {"IBAN_NR", 'C', 34},   {"SWIFT_ADR", 'C', 11}})
      .Add({kOrgNo, kCompanyName, "ADM", o.productCode, kDatabaseVersion, "SEK", "T", o.cloudLinkId, "Östra Hamngatan 12",
            "411 09", "Göteborg", "031-12 34 56", "info@asaoberg.se", "www.asaoberg.se", "SE 556677-8899 01",
            "5566-7788", "12 34 56-7", "Göteborg", "7350000000001", "F", "T", "SE45 5000 0000 0583 9825 7466",
            "ESSESESS"})
      .WriteInto(folder);

  Table(o, "PRM2.DBF", {{"MVSREDPER", 'C', 1}}).Add({"1"}).WriteInto(folder);

  // Series 1 quotes, 2 orders, 3 invoices; a later record of a series wins, a deleted one never counts.
  Table(o, "NEWNUM.DBF", {{"ID", 'N', 3}, {"NR", 'N', 10}})
      .Add({"1", "5001"})
      .Add({"2", "3001"})
      .Add({"3", "10000"})
      .Add({"3", std::to_string(10100 + OrdinaryInvoiceCount(o.customerInvoices))})
      .AddDeleted({"3", "999"})
      .Add({"7", "42"})
      .WriteInto(folder);

  std::ofstream ini(folder / "ftg.ini", std::ios::trunc);
  ini << "[Company]\r\nCurrencyClient=1\r\nCurrencySupplier=0\r\n"
      << "[Byggtjanst]\r\nActive=1\r\n";
  if (!ini) throw std::runtime_error("cannot write " + (folder / "ftg.ini").string());
}

// ---------------------------------------------------------------- articles

void WriteArticles(const std::filesystem::path& folder, const SampleOptions& o) {
  Table units(o, "ENHKOD.DBF", {{"ENHKOD", 'C', 4}, {"ISO", 'C', 3}, {"TEXT", 'C', 20}, {"INHEMSK", 'L', 1}});
  units.Add({"st", "EA", "Styck", "T"})
      .Add({"tim", "HUR", "Timme", "T"})
      .Add({"m", "", "Meter", "T"})        // domestic without ISO code: the code itself
      .Add({"frp", "PK", "Förpackning", "F"})  // not domestic: not looked up
      .Add({"st", "XX", "Dublett", "T"})   // the first of a code wins
      .AddDeleted({"kg", "KGM", "Kilo", "T"})
      .WriteInto(folder);

  Table(o, "ARTKNT.DBF", {{"KONTKOD", 'C', 2}, {"BENAEMN", 'C', 30}})
      .Add({"1", "Varor 25 %"})
      .Add({"2", "Tjänster 25 %"})
      .Add({"3", "Böcker 6 %"})
      .AddDeleted({"4", "Borttaget konto"})
      .WriteInto(folder);

  Table(o, "PRISL.DBF", {{"PRISL", 'C', 3}, {"VALUTAKOD", 'C', 3}, {"BENAEMN", 'C', 30}, {"INKLMOMS", 'L', 1}})
      .Add({"1", "SEK", "Grundpris", "F"})
      .Add({"2", "", "Butikspris inkl moms", "T"})  // empty currency: the company's
      .Add({"3", "EUR", "Exportpris", "F"})
      .AddDeleted({"4", "SEK", "Gammal prislista", "F"})
      .WriteInto(folder);

  Table articles(o, "ART.DBF",
                 {{"INAKTIV", 'L', 1}, {"ARTNR", 'C', 16}, {"BENAEMN", 'C', 40}, {"ENHKOD", 'C', 4},
                  {"KONTKOD", 'C', 2}, {"ILAGER", 'N', 10, 2}, {"H_TYPID", 'N', 2}});
  Table prices(o, "PRIS.DBF", {{"PRISL", 'C', 3}, {"ARTNR", 'C', 16}, {"PRIS", 'N', 12, 2}, {"GRUND", 'L', 1}});
  Table names(o, "ARTBEN.DBF", {{"SPRAAKKOD", 'C', 2}, {"ARTNR", 'C', 16}, {"BENAEMN", 'C', 40}});

  articles.Add({"F", "100", "Målning av fönsterbåge", "tim", "2", "0.00", "1"})  // ROT work
      .Add({"", "101", "Städning, RUT", "tim", "2", "", "43"})
      .Add({"T", "102", "Utgången lösenbräda", "st", "1", "3.00", ""})  // inactive
      .Add({"F", "103", "Rörmokeri", "tim", "2", "0.00", "31"})
      .Add({"F", "104", "Kabel", "m", "1", "125.50", "0"})
      .Add({"F", "105", "Tapetrulle", "frp", "1", "12.00", ""})
      .Add({"F", "106", "Specialbeställning", "", "", "", ""})
      .AddDeleted({"F", "107", "Borttagen artikel", "st", "1", "1.00", ""});
  prices.Add({"1", "100", "450.00", "T"})
      .Add({"1", "100", "999.00", "T"})   // a second base price: the first wins
      .Add({"2", "100", "562.50", "T"})
      .Add({"1", "101", "380.00", "T"})
      .Add({"1", "104", "   12.50", "T"})
      .Add({"1", "105", "89.00", "F"})    // not a base price: the article has none
      .Add({"3", "104", "1.10", "T"})
      .AddDeleted({"1", "106", "1.00", "T"});
  names.Add({"EN", "100", "Window frame painting"})
      .Add({"en", "101", "Cleaning (lower-case language code)"})
      .Add({"EN", "104", "Cable"})
      .Add({"EN", "104", "Second English name"});

  for (int i = 0; i < o.articles; ++i) {
    const std::string number = Format("A%05d", i + 1);
    const std::string name = Pick(kGoods, i) + " " + std::to_string(10 + i % 90) + " mm";
    articles.Add({i % 17 == 16 ? "T" : "F", number, name, i % 5 == 0 ? "frp" : "st", i % 4 == 0 ? "3" : "1",
                  Amount(i * 731 % 100000), ""});
    const long long price = 995 + i * 1237 % 250000;
    prices.Add({"1", number, Amount(price), "T"}).Add({"2", number, Amount(price * 5 / 4), "T"});
    if (i % 3 == 0) names.Add({"EN", number, "Item " + std::to_string(i + 1)});
  }
  articles.WriteInto(folder);
  prices.WriteInto(folder);
  names.WriteInto(folder);
}

// ---------------------------------------------------------------- customers and suppliers

void WriteRegisters(const std::filesystem::path& folder, const SampleOptions& o) {
  Table(o, "BETVILLK.DBF", {{"BETVILLK", 'C', 4}, {"TEXT", 'C', 30}, {"BETKOD", 'C', 4}})
      .Add({"30", "30 dagar netto", "30"})
      .Add({"K30", "Kontant 30 dagar", "30"})   // its code points at term 30
      .Add({"10", "10 dagar netto", ""})
      .Add({"K99", "Egen kod", "1234"})         // not one to three digits: its own code
      .Add({"K30", "Dublett", "10"})            // the first of a code wins
      .AddDeleted({"60", "Borttagna 60 dagar", "60"})
      .WriteInto(folder);

  Table(o, "LEVVILLK.DBF", {{"LEVVILLK", 'C', 4}, {"TEXT", 'C', 30}})
      .Add({"FVL", "Fritt vårt lager"})
      .Add({"FK", "Fritt kund"})
      .Add({"  EX", "Ex works, inledande blanksteg"})
      .Add({"", "Kod saknas"})
      .AddDeleted({"GML", "Gammal leveransvillkor"})
      .WriteInto(folder);

  Table(o, "LEVSAETT.DBF", {{"LEVSAETT", 'C', 4}, {"TEXT", 'C', 30}})
      .Add({"POST", "Posten"})
      .Add({"BIL", "Bil"})
      .Add({"HÄMT", "Kunden hämtar själv"})
      .AddDeleted({"BÅT", "Båtfrakt"})
      .WriteInto(folder);

  Table contacts(o, "KONTAKT.DBF",
                 {{"SIGN", 'C', 4}, {"EPOST", 'C', 60}, {"MBTEL", 'C', 20}, {"TEL", 'C', 20}, {"KUNDNR", 'C', 10},
                  {"LEVNR", 'C', 10}});
  contacts.Add({"ÅÖ", "asa@kund1.se", "070-123 45 67", "031 12 34 56", "1", ""})
      .Add({"ÅÖ", "asa.ny@kund1.se", "070 - 765 43 21", "031-65 43 21", "1", ""})  // the last of a key wins
      .Add({"", "ingen@kund2.se", "070-000 00 00", "", "2", ""})                    // empty signature
      .Add({"BB", "bengt@lev1.se", "073-111 22 33", "08-123 45", "", "1"})
      .AddDeleted({"ÅÖ", "borttagen@kund1.se", "", "", "1", ""});

  const std::vector<DbfColumn> customerColumns = {
      {"KUNDNR", 'C', 10},    {"ORGNR", 'C', 15},     {"REF", 'C', 30},       {"ANTECK_1", 'C', 40},
      {"ANTECK_2", 'C', 40},  {"ANTECK_3", 'C', 40},  {"ANTECK_4", 'C', 40},  {"REF_SIGN", 'C', 4},
      {"VALUTAKOD", 'C', 3},  {"EANLOC", 'C', 13},    {"EPOST", 'C', 60},     {"POSTADR", 'C', 40},
      {"POSTADR2", 'C', 40},  {"ORT", 'C', 30},       {"LANDKOD", 'C', 2},    {"POSTNR", 'C', 10},
      {"LEVNAMN", 'C', 40},   {"LEVADR", 'C', 40},    {"LEVADR2", 'C', 40},   {"LEVORT", 'C', 30},
      {"LEVLANDKOD", 'C', 2}, {"LEVPOSTNR", 'C', 10}, {"LEVSAETT", 'C', 4},   {"LEVVILLK", 'C', 4},
      {"NAMN", 'C', 40},      {"BYGGTJANST", 'L', 1}, {"MBTEL", 'C', 20},     {"TEL", 'C', 20},
      {"BETVILLK", 'C', 4},   {"MOMSREGNR", 'C', 20}, {"EREDIREF", 'C', 30},  {"INAKTIV", 'L', 1}};
  Table customers(o, "KUND.DBF", customerColumns);
  customers
      .Add({"1", "556036-0793", "Åsa Öberg", "Ring före ", "leverans.", "", "Port 3", "ÅÖ", "SEK", "7350000000002",
            "faktura@kund1.se", "Storgatan 1", "Box 12", "Göteborg", "SE", "411 01", "Byggbolaget Väst AB",
            "Lagervägen 5", "", "Mölndal", "SE", "431 30", "BIL", "FVL", "Byggbolaget Väst AB", "T", "070-123 45 67",
            "031-12 34 56", "30", "SE 5560 3607-93 01", "REF-1", "F"})
      .Add({"2", "19650312-1235", "Märta Sjögren", "", "", "", "", "", "SEK", "", "marta@example.se", "Ängsvägen 3",
            "", "Umeå", "SE", "903 31", "", "", "", "", "", "", "POST", "FK", "Märta Sjögren", "F", "", "090-12 34 56",
            "K30", "", "", ""})
      .Add({"3", "", "", "", "", "", "", "", "EUR", "", "", "Hauptstraße 4", "", "München", "DE", "80331", "", "", "",
            "", "", "", "", "", "Müller GmbH", "T", "", "", "K99", "DE 123-456 789", "", "F"})
      .Add({"4", "556677-0001", "", "", "", "", "", "", "SEK", "", "", "Kungsgatan 9", "", "Malmö", "SE", "211 49",
            "", "", "", "", "", "", "", "", "Vilande Kund AB", "F", "", "", "XX", "", "", "T"})  // inactive
      .AddDeleted({"5", "556677-0002", "", "", "", "", "", "", "SEK", "", "", "", "", "", "SE", "", "", "", "", "", "",
                   "", "", "", "Borttagen Kund AB", "F", "", "", "30", "", "", "F"})
      .Add({"6", "556677-0003", "", "", "", "", "", "", "SEK", "", "", "Kyrkvägen 2", "", "", "SE", "", "", "", "", "",
            "", "", "", "", "Kund utan ort AB", "F", "", "", "10", "", "", "F"});  // the cloud refuses it: no city
  for (int i = 0; i < o.customers; ++i) {
    const bool person = i % 4 == 1;
    const std::string name = person ? PersonName(i) : Pick(kSurnames, i) + "s " + Pick(kGoods, i) + " AB";
    const std::string orgNo = person ? PersonNo(i) : OrgNo('5', i);
    customers.Add({std::to_string(1000 + i), orgNo, PersonName(i + 5), "", "", "", "", "", "SEK", "",
                   Mail("kund" + std::to_string(1000 + i), i), Street(i), "", Pick(kCities, i), "SE", PostalCode(i), "",
                   "", "", "", "", "", i % 2 ? "POST" : "BIL", i % 3 ? "FVL" : "FK", name, "F", "", Phone(i),
                   i % 2 ? "30" : "10", person ? "" : "SE" + orgNo.substr(0, 6) + orgNo.substr(7) + "01", "", "F"});
  }
  customers.WriteInto(folder);

  const std::vector<DbfColumn> supplierColumns = {
      {"LEVNR", 'C', 10},    {"ORGNR", 'C', 15},    {"REF", 'C', 30},      {"ANTECK_1", 'C', 40},
      {"ANTECK_2", 'C', 40}, {"ANTECK_3", 'C', 40}, {"ANTECK_4", 'C', 40}, {"REF_SIGN", 'C', 4},
      {"UTLBETALN", 'L', 1}, {"VALUTAKOD", 'C', 3}, {"EPOST", 'C', 60},    {"POSTADR", 'C', 40},
      {"POSTADR2", 'C', 40}, {"ORT", 'C', 30},      {"LANDSKOD", 'C', 2},  {"POSTNR", 'C', 10},
      {"NAMN", 'C', 40},     {"MBTEL", 'C', 20},    {"TEL", 'C', 20},      {"BETVILLK", 'C', 4},
      {"AUTOGIRO", 'L', 1},  {"BGIRO", 'C', 34},    {"PGIRO", 'C', 12},    {"WWW", 'C', 60},
      {"BG_AVGKOD", 'C', 1}, {"RIKSBKOD", 'C', 3},  {"OCRLEV", 'L', 1},    {"SWIFTADR", 'C', 11},
      {"BANKKOD", 'C', 10},  {"MBANKNAMN", 'C', 30}, {"INAKTIV", 'L', 1}};
  Table suppliers(o, "LEV.DBF", supplierColumns);
  suppliers
      .Add({"1", "556011-2233", "Bengt Bäckman", "Leverans ", "måndagar", "", "", "BB", "F", "SEK", "order@lev1.se",
            "Industrivägen 2", "", "Västerås", "SE", "721 30", "Järnhandel i Västerås AB", "073-111 22 33",
            "021-12 34 56", "30", "T", "123-4567", "12 34 56-7", "www.jarnhandel.se", "", "", "T", "", "", "", "F"})
      .Add({"2", "556011-4455", "", "", "", "", "", "", "F", "SEK", "", "Sjögatan 8", "", "Luleå", "SE", "972 31",
            "Norrlands Trä AB", "", "", "K30", "F", "1234 - 5678", "", "", "", "", "F", "", "", "", "F"})
      .Add({"3", "", "", "", "", "", "", "", "T", "EUR", "", "Rue de la Paix 1", "", "Paris", "FR", "75002",
            "Outils de Paris SARL", "", "", "30", "F", "FR76 3000-6000 0112 3456 7890 189", "", "", "0", "101", "F",
            "BNPAFRPP", "", "BNP Paribas", "F"})
      .Add({"4", "", "", "", "", "", "", "", "T", "USD", "", "Main Street 5", "", "Boston", "US", "02108",
            "Boston Tools Inc", "", "", "30", "F", "12-34 5678", "", "", "1", "102", "F", "", "ABC", "First Bank",
            "F"})
      .Add({"5", "556011-6677", "", "", "", "", "", "", "F", "SEK", "", "", "", "Örebro", "SE", "", "Vilande Lev AB",
            "", "", "30", "F", "12345678", "", "", "", "", "F", "", "", "", "T"})  // inactive, bad bankgiro
      .AddDeleted({"6", "", "", "", "", "", "", "", "F", "SEK", "", "", "", "", "SE", "", "Borttagen Lev AB", "", "",
                   "30", "F", "", "", "", "", "", "F", "", "", "", "F"})
      .Add({"7", "", "", "", "", "", "", "", "F", "SEK", "", "", "", "", "SE", "", "", "", "", "30", "F", "", "", "", "",
            "", "F", "", "", "", "F"});  // the cloud refuses it: no name
  for (int i = 0; i < o.suppliers; ++i) {
    const std::string bankgiro = Format("%d", 100 + i % 9000) + "-" + Format("%04d", i * 37 % 10000);
    suppliers.Add({std::to_string(100 + i), OrgNo('5', 9000 + i), PersonName(i + 2), "", "", "", "", "", "F", "SEK",
                   Mail("lev" + std::to_string(100 + i), i), Street(i + 3), "", Pick(kCities, i + 4), "SE",
                   PostalCode(i + 9), Pick(kSurnames, i) + " Grossist AB", "", Phone(i + 11), "30",
                   i % 5 == 0 ? "T" : "F", bankgiro, "", "", "", "", i % 2 ? "T" : "F", "", "", "", "F"});
  }
  suppliers.WriteInto(folder);
  contacts.WriteInto(folder);
}

// ---------------------------------------------------------------- open invoices

void WriteLedgers(const std::filesystem::path& folder, const SampleOptions& o, int year) {
  Table documents(o, "OOF.DBF",
                  {{"DOKTYP", 'C', 1},       {"DOKNR", 'N', 8},        {"KOPPL_DOK3", 'N', 8}, {"UTSK", 'L', 1},
                   {"MAKUL", 'L', 1},        {"DATUM1", 'D', 8},       {"DATUM2", 'D', 8},     {"FKTTYP", 'C', 1},
                   {"KUNDNR", 'C', 10},      {"NAMN", 'C', 40},        {"POSTADR", 'C', 40},   {"POSTADR2", 'C', 40},
                   {"POSTNR", 'C', 10},      {"ORT", 'C', 30},         {"VALUTAKOD", 'C', 3},  {"VALUTAKURS", 'N', 10, 4},
                   {"VALUTAENH", 'N', 4},    {"TOTALT", 'N', 12, 2},   {"SALDO", 'N', 12, 2},  {"MOMSBEL1", 'N', 12, 2},
                   {"MOMSBEL2", 'N', 12, 2}, {"MOMSBEL3", 'N', 12, 2}, {"KNTKUNDF", 'N', 4},   {"OCRNR", 'C', 25},
                   {"LANDKOD", 'C', 2}});
  const std::string d1 = Date(year, 1, 31), d2 = Date(year, 3, 1);
  const auto invoice = [&](const std::string& type, int number, const std::string& booked, const std::string& printed,
                           const std::string& cancelled, const std::string& kind, const std::string& total,
                           const std::string& balance, const std::string& vat) {
    return Row{type, std::to_string(number), booked, printed, cancelled, d1, d2, kind, "1", "Byggbolaget Väst AB",
               "Storgatan 1", "Box 12", "411 01", "Göteborg", "SEK", "", "", total, balance, vat, "", "", "1510",
               WithLuhn(std::to_string(number)), "SE"};
  };
  documents.Add(invoice("F", 10001, "1234", "T", "F", "F", "1250.00", "1250.00", "250.00"))   // open and booked
      .Add(invoice("F", 10002, "0", "T", "F", "F", "500.00", "500.00", "100.00"))            // not booked
      .Add(invoice("F", 10003, "1240", "T", "F", "K", "1250.00", "-1250.00", "250.00"))      // credit
      .Add(invoice("F", 10004, "", "F", "F", "f", "80.50", "80.50", "16.10"))                // exempt
      .Add(invoice("F", 10005, "1241", "T", "F", "N", "100.00", "100.00", "20.00"))          // never sent
      .Add(invoice("F", 10006, "1242", "T", "F", "F", "300.00", "0.00", "60.00"))            // paid
      .Add(invoice("F", 10007, "", "F", "T", "F", "300.00", "300.00", "60.00"))              // cancelled
      .Add(invoice("O", 20001, "", "F", "F", "", "999.00", "999.00", "199.80"))              // an order
      .AddDeleted(invoice("F", 10008, "1243", "T", "F", "F", "10.00", "10.00", "2.00"));
  // In euro, without a due date.
  documents.Add({"F", "10009", "1244", "T", "F", d1, "", "F", "3", "Müller GmbH", "Hauptstraße 4", "", "80331",
                 "München", "EUR", "10.8600", "1", "1000.00", "1000.00", "0.00", "", "", "1510", "", "DE"});
  documents.Add(invoice("F", 10010, "", "F", "F", "k", "200.00", "-200.00", "40.00"));  // credit, exempt
  int number = 10100;
  const auto ordinaryDocument = [&](int i, bool paid) {
    const int customer = o.customers > 0 ? 1000 + i % o.customers : 1;
    const long long total = 12500 + i * 7919 % 2000000;
    const long long vat = total / 5;
    documents.Add({"F", std::to_string(number), std::to_string(2000 + i), "T", "F",
                   Date(year, 1 + i % 12, 1 + i % 28), Date(year, 1 + (i + 1) % 12, 1 + i % 28), "F",
                   std::to_string(customer), PersonName(i + 5), Street(i), "", PostalCode(i), Pick(kCities, i), "SEK",
                   "", "", Amount(total), Amount(paid ? 0 : total - i % 3 * 1000), Amount(vat), "", "", "1510",
                   WithLuhn(std::to_string(number)), "SE"});
    ++number;
  };
  for (int i = 0; i < o.customerInvoices; ++i) {
    ordinaryDocument(i, false);
    if (i % 5 == 4) ordinaryDocument(i, true);
  }
  documents.WriteInto(folder);

  Table invoices(o, "LEVFKT.DBF",
                 {{"LOEPNR", 'N', 8},   {"FKT_TYP", 'C', 1},     {"FKT_NR", 'C', 20},    {"LEVNR", 'C', 10},
                  {"NAMN", 'C', 40},    {"OCR", 'C', 25},        {"FDATUM", 'D', 8},     {"FFDATUM", 'D', 8},
                  {"MOMSBEL", 'N', 12, 2}, {"VALUTAKOD", 'C', 3}, {"VKURS", 'N', 10, 4}, {"VENHET", 'N', 4},
                  {"KNTLEVF", 'N', 4},  {"TOTAL", 'N', 12, 2},   {"SALDO", 'N', 12, 2},  {"JOURN_NR", 'N', 8},
                  {"MAKUL", 'L', 1}});
  invoices.Add({"1", "F", "A-778", "1", "Järnhandel i Västerås AB", WithLuhn("4455667"), d1, d2, "125.00", "SEK", "",
                "", "2440", "625.00", "625.00", "301", "F"})
      .Add({"2", "F", "99812", "2", "Norrlands Trä AB", "Avser order 4711", d1, d2, "50.00", "SEK", "", "", "2440",
            "250.00", "250.00", "302", "F"})  // a payment message, not a reference
      .Add({"3", "K", "K-12", "1", "Järnhandel i Västerås AB", "", d1, d2, "25.00", "SEK", "", "", "2440", "125.00",
            "-125.00", "303", "F"})          // credit
      .Add({"4", "F", "FR-2024-1", "3", "Outils de Paris SARL", "", d1, d2, "0.00", "EUR", "11.2000", "1", "2440",
            "400.00", "400.00", "304", "F"})
      .Add({"5", "F", "77", "1", "Järnhandel i Västerås AB", "", d1, d2, "20.00", "SEK", "", "", "2440", "100.00",
            "100.00", "0", "F"})             // not booked
      .Add({"6", "F", "78", "1", "Järnhandel i Västerås AB", "", d1, d2, "20.00", "SEK", "", "", "2440", "100.00",
            "0.00", "305", "F"})             // paid
      .Add({"7", "F", "79", "2", "Norrlands Trä AB", "", d1, d2, "20.00", "SEK", "", "", "2440", "100.00", "100.00",
            "306", "T"})                     // cancelled
      .AddDeleted({"8", "F", "80", "2", "Norrlands Trä AB", "", d1, d2, "20.00", "SEK", "", "", "2440", "100.00",
                   "100.00", "307", "F"})
      .Add({"9", "F", "5501", "99", "Okänd Leverantör AB", "1234567890", d1, d2, "30.00", "SEK", "", "", "2440",
            "150.00", "150.00", "308", "F"})  // not in the register; the OCR fails its check digit
      .Add({"10", "k", "K-13", "2", "Norrlands Trä AB", "", d1, d2, "10.00", "SEK", "", "", "2440", "50.00",
            "50.00", "309", "F"});           // lower-case "k": no credit invoice here
  int id = 100;
  const auto ordinaryInvoice = [&](int i, bool paid) {
    const int supplier = o.suppliers > 0 ? 100 + i % o.suppliers : 1;
    const long long total = 9900 + i * 6151 % 1500000;
    invoices.Add({std::to_string(id), "F", Format("L%06d", id - 99), std::to_string(supplier),
                  Pick(kSurnames, i % std::max(o.suppliers, 1)) + " Grossist AB", WithLuhn(Format("%d", 880000 + i)),
                  Date(year, 1 + i % 12, 1 + i % 28), Date(year, 1 + (i + 1) % 12, 1 + i % 28), Amount(total / 5),
                  "SEK", "", "", "2440", Amount(total), Amount(paid ? 0 : total), std::to_string(400 + i), "F"});
    ++id;
  };
  for (int i = 0; i < o.supplierInvoices; ++i) {
    ordinaryInvoice(i, false);
    if (i % 5 == 4) ordinaryInvoice(i, true);
  }
  invoices.WriteInto(folder);
}

// ---------------------------------------------------------------- bookkeeping

void WriteBookkeeping(const std::filesystem::path& folder, const SampleOptions& o, int year) {
  Table(o, "BOKFAAR.DBF", {{"AAR_ID", 'C', 1}, {"BOERJAN", 'D', 8}, {"SLUT", 'D', 8}, {"KPTYP", 'C', 10}})
      .Add({"A", Date(year - 1, 1, 1), Date(year - 1, 12, 31), "BAS2024"})
      .Add({"B", Date(year, 1, 1), Date(year, 12, 31), "BAS2024"})
      .Add({"C", Date(year + 1, 1, 1), Date(year + 1, 12, 31), "BAS2024"})  // not begun yet
      .AddDeleted({"Z", Date(year - 2, 1, 1), Date(year - 2, 12, 31), "BAS96"})
      .WriteInto(folder);

  const std::vector<std::pair<std::string, std::string>> accounts = {
      {"1510", "Kundfordringar"},          {"1930", "Företagskonto"},         {"2440", "Leverantörsskulder"},
      {"2611", "Utgående moms, 25 %"},     {"2641", "Ingående moms"},         {"3001", "Försäljning inom Sverige, 25 %"},
      {"4010", "Inköp av varor"},          {"5010", "Lokalhyra"},             {"6110", "Kontorsmateriel"},
      {"7010", "Löner till kollektivanställda"}, {"8310", "Ränteintäkter"}};
  Table konto(o, "KONTO.DBF", {{"AAR_ID", 'C', 1}, {"KONTO", 'N', 4}, {"BENAEMN", 'C', 40}});
  for (const char* id : {"A", "B"}) {
    for (const auto& [number, name] : accounts) konto.Add({id, number, name});
  }
  konto.AddDeleted({"B", "9999", "Borttaget konto utanför planen"});
  konto.WriteInto(folder);
}

// The installed edition of the administration program that a company of this product code needs.
int EditionOf(const std::string& productCode) {
  static const std::pair<const char*, int> kEditions[] = {{"0", 200}, {"5", 500}, {"1", 1000}, {"2", 2000}};
  for (const auto& [code, edition] : kEditions) {
    if (productCode == code) return edition;
  }
  throw std::runtime_error("product code " + productCode + " is not a company of the administration program");
}

}  // namespace

std::string RegString(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') quoted.push_back('\\');
    quoted.push_back(c);
  }
  return quoted + "\"";
}

std::string WriteAdministrationProgram(const std::filesystem::path& programFolder,
                                       const std::filesystem::path& companiesFolder, const std::string& productCode) {
  const int edition = EditionOf(productCode);
  fixtures::WritePeFile(programFolder / "KolmAdm.exe", fixtures::MakePeFileWithProductVersion(kProgramVersion));
  WriteDataModelFile(programFolder);
  const std::string folder = programFolder.string();
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KolmAdm.exe]\n"
         "\"Path\"=" + RegString(folder) + "\n\"CommonFiles\"=" + RegString(folder) + "\n" +
         "\"DefaultCompanyPath\"=" + RegString(companiesFolder.string()) + "\n\"Edition\"=" + RegString(std::to_string(edition)) + "\n";
}

void WriteSampleCompany(const std::filesystem::path& folder, const SampleOptions& options) {
  std::filesystem::create_directories(folder);
  const int year = options.bookingYear ? options.bookingYear : platform::CurrentClock().Now().year;
  WriteParameters(folder, options);
  WriteArticles(folder, options);
  WriteRegisters(folder, options);
  WriteLedgers(folder, options, year);
  WriteBookkeeping(folder, options, year);
}

}  // namespace samplecompany
