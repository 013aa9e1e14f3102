#include "tools/samplecompany/sample_sql_company.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lumdb/query/datamodel.h"
#include "lumdb/query/xml_dmoloader.h"
#include "lumdb/record/field.h"
#include "lumdb/record/field_set.h"
#include "lumdb/record/session.h"
#include "lumdb/record/sqldb.h"
#include "lumdb/record/sqlstmt.h"
#include "platform/clock.h"
#include "tools/samplecompany/sample_company.h"
#include "tools/samplecompany/sample_datamodel.h"
#include "tools/samplecompany/sample_values.h"

namespace samplecompany {
namespace {

using Value = std::optional<std::string>;
using Row = std::vector<Value>;
constexpr std::nullopt_t kNull = std::nullopt;

std::string SqlServerType(const lumdb::field_desc_t& field) {
  const std::string length = "(" + std::to_string(field.length > 0 ? field.length : 1) + ")";
  switch (field.sql_type) {
    case lumdb::sql_bit: return "BIT";
    case lumdb::sql_smallint: return "SMALLINT";
    case lumdb::sql_integer: return "INT";
    case lumdb::sql_bigint: return "BIGINT";
    case lumdb::sql_double: return "FLOAT";
    case lumdb::sql_numeric:
      return "NUMERIC(" + std::to_string(field.length) + "," + std::to_string(field.decimals) + ")";
    case lumdb::sql_date: return "DATE";
    case lumdb::sql_timestamp: return "DATETIME";
    case lumdb::sql_guid: return "UNIQUEIDENTIFIER";
    case lumdb::sql_wvarchar: return "NVARCHAR" + length;
    case lumdb::sql_binary: return "VARBINARY" + length;
    default: return "VARCHAR" + length;
  }
}

void Run(lumdb::sqldb_c* connection, const std::string& sql) {
  lumdb::sqlstmt_c statement(connection);
  if (statement.allocate(false) || statement.exec_direct(sql))
    throw std::runtime_error("Kunde inte köra " + sql + ": " + connection->last_diagnostic_text());
}

// The rows of one table, inserted through one prepared statement. Every value
// goes as text: the column's declared type converts it as it would a literal.
class TableWriter {
 public:
  TableWriter(lumdb::sqldb_c* connection, const std::string& table, const std::vector<const char*>& columns)
      : connection_(connection), statement_(connection), width_(columns.size()) {
    std::string names, marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      names += (i ? ", " : "") + std::string(columns[i]);
      marks += i ? ", ?" : "?";
      values_.add_field(static_cast<int>(i) + 1, nullptr, lumdb::sql_wvarchar, 250);
    }
    sql_ = "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
    if (statement_.allocate(false) || statement_.prepare(sql_)) Fail();
    for (int i = 0; i < values_.field_count(); ++i)
      if (statement_.bind_parameter(values_, i)) Fail();
  }

  TableWriter& Add(const Row& row) {
    if (row.size() != width_) throw std::logic_error("a row of " + sql_ + " has " + std::to_string(row.size()) + " values");
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int id = static_cast<int>(i) + 1;
      if (row[i]) {
        values_.set_string(id, nullptr, *row[i]);
      } else {
        values_.set_null(id, nullptr);
      }
    }
    if (statement_.execute()) Fail();
    return *this;
  }

 private:
  [[noreturn]] void Fail() const {
    throw std::runtime_error("Kunde inte köra " + sql_ + ": " + connection_->last_diagnostic_text());
  }

  lumdb::sqldb_c* connection_;
  lumdb::sqlstmt_c statement_;
  std::size_t width_;
  lumdb::field_set_c values_;
  std::string sql_;
};

std::string Date(int year, int month, int day) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

// How many ordinary records a kind gets beside its `special` ones.
int Ordinary(int wanted, int special, const char* kind) {
  if (wanted < special)
    throw std::runtime_error(std::string("the sample SQL company holds at least ") + std::to_string(special) + " " + kind);
  return wanted - special;
}

// The special records each kind's reader reads, the refused one included.
constexpr int kSpecialArticles = 6;
constexpr int kSpecialCustomers = 4;
constexpr int kSpecialSuppliers = 6;
constexpr int kSpecialCustomerInvoices = 8;
constexpr int kSpecialSupplierInvoices = 7;

// ---------------------------------------------------------------- parameters

void WriteParameters(lumdb::sqldb_c* db, int nextInvoiceNumber) {
  TableWriter(db, "PRM",
              {"ORGNR", "NAMN", "POSTADR", "POSTNR", "ORT", "TEL", "EPOST", "WWW", "MOMSREGNR", "BGIRO", "PGIRO",
               "SATE", "EANLOC", "EJ_FSKATT", "H_SKVHUS", "PRG_TYPE", "SWIFT_ADR", "IBAN_NR", "KL_FKRECID", "AKI_OCR"})
      .Add({kSqlOrgNo, kSqlCompanyName, "Storgatan 1", "831 30", "Östersund", "063-12 34 56", "info@akerbergs.se",
            "www.akerbergs.se", "SE556677889901", "123-4567", "", "Östersund", "7350000000007", "0", "1", "1", "",
            "1234 56 78901", "", "1"});
  TableWriter(db, "PRM2", {"MVSREDPER"}).Add({"2"});
  // Series 1 quotes, 2 orders, 3 invoices.
  TableWriter(db, "NEWNUM", {"ID", "NR"})
      .Add({"1", "5001"})
      .Add({"2", "3001"})
      .Add({"3", std::to_string(nextInvoiceNumber)});
  TableWriter(db, "LEVVILLK", {"LEVVILLK", "TEXT"}).Add({"FVL", "Fritt vårt lager"}).Add({"FK", kNull});
  TableWriter(db, "LEVSAETT", {"LEVSAETT", "TEXT"}).Add({"PO", "Posten"}).Add({"BIL", "Egen bil, Åre"});
}

// ---------------------------------------------------------------- articles

void WriteArticles(lumdb::sqldb_c* db, const SqlSampleOptions& o) {
  TableWriter(db, "ENHKOD", {"ENHKOD", "TEXT"})
      .Add({"st", "Styck"})
      .Add({"tim", "Timme"})
      .Add({"m", "Meter"})
      .Add({"frp", "Förpackning"});
  TableWriter(db, "ARTKNT", {"KONTKOD", "BENAEMN"})
      .Add({"1", "Varor 25 %"})
      .Add({"2", "Tjänster 25 %"})
      .Add({"3", "Böcker 6 %"});
  // A gross and a net list in SEK (the two offered), and one in euro (never offered).
  TableWriter(db, "PRISL", {"PRISL", "BENAEMN", "INKLMOMS", "VALUTAKOD"})
      .Add({"B", "Grossist", "0", "SEK"})
      .Add({"A", "Baspris å", "1", "SEK"})
      .Add({"E", "Export", "0", "EUR"});

  TableWriter articles(db, "ART", {"ARTNR", "BENAEMN", "ENHKOD", "KONTKOD", "ILAGER", "H_TYPID", "INAKTIV"});
  TableWriter prices(db, "PRIS", {"ARTNR", "PRISL", "PRIS", "GRUND"});
  TableWriter names(db, "ARTBEN", {"ARTNR", "SPRAAKKOD", "BENAEMN"});
  articles.Add({"100", "Målning av fönsterbåge", "tim", "2", "0", "1", "0"})  // ROT work
      .Add({"101", "Städning, RUT", "tim", "2", kNull, "43", "0"})           // RUT work
      .Add({"102", "Utgången lösenbräda", "st", "1", "3", kNull, "1"})       // inactive: not read
      .Add({"103", "Kabel", "m", "1", "125.5", "0", "0"})
      .Add({"104", "Tapetrulle", "frp", "1", "12", "99", "0"})                // no such work type
      .Add({"105", "Spackel", "st", "3", "40", kNull, "0"})
      .Add({"106", "Specialbeställning på mått", "st", kNull, kNull, kNull, "0"});  // refused: no account
  prices.Add({"100", "B", "450", "1"})
      .Add({"100", "A", "562.5", "1"})
      .Add({"101", "B", "380", "1"})
      .Add({"101", "A", "475", "1"})
      .Add({"103", "B", "12.5", "1"})
      .Add({"103", "E", "1.1", "1"})       // only in the euro list
      .Add({"104", "B", "89", "0"})        // not a base price: no price
      .Add({"105", kNull, "55", "0"});     // without list: its price in every list
  names.Add({"100", "EN", "Window frame painting"})
      .Add({"101", "DE", "Reinigung"})     // another language: no English name
      .Add({"103", "EN", "Cable"});

  const int ordinary = Ordinary(o.articles, kSpecialArticles, "articles");
  for (int i = 0; i < ordinary; ++i) {
    const std::string number = Format("A%05d", i + 1);
    articles.Add({number, Pick(kGoods, i) + " " + std::to_string(10 + i % 90) + " mm", i % 5 == 0 ? "frp" : "st",
                  i % 4 == 0 ? "3" : "1", Amount(i * 731 % 100000), kNull, "0"});
    const long long price = 995 + i * 1237 % 250000;
    prices.Add({number, "B", Amount(price), "1"}).Add({number, "A", Amount(price * 5 / 4), "1"});
    if (i % 3 == 0) names.Add({number, "EN", "Item " + std::to_string(i + 1)});
  }
  // After the ordinary ones, so that the walk reaches them last.
  articles.Add({"ZZ-GAMMAL", "Äldre artikel, inaktiv", "st", "1", kNull, kNull, "1"});
}

// ---------------------------------------------------------------- customers and suppliers

const std::vector<const char*> kCustomerColumns = {
    "KUNDNR",   "ORGNR",    "REF",       "ANTECK_1", "ANTECK_2",   "ANTECK_3",  "ANTECK_4", "REF_SIGN",
    "VALUTAKOD", "EANLOC",  "EPOST",     "POSTADR",  "POSTADR2",   "ORT",       "LANDKOD",  "POSTNR",
    "LEVNAMN",  "LEVADR",   "LEVADR2",   "LEVORT",   "LEVLANDKOD", "LEVPOSTNR", "LEVSAETT", "LEVVILLK",
    "NAMN",     "BYGGTJANST", "MBTEL",   "TEL",      "BETVILLK",   "MOMSREGNR", "EREDIREF", "INAKTIV"};

const std::vector<const char*> kSupplierColumns = {
    "LEVNR",    "ORGNR",  "REF",     "ANTECK_1", "ANTECK_2",  "ANTECK_3", "ANTECK_4",  "REF_SIGN",
    "UTLBETALN", "VALUTAKOD", "EPOST", "POSTADR", "POSTADR2", "ORT",      "LANDSKOD",  "POSTNR",
    "NAMN",     "MBTEL",  "TEL",     "BETVILLK", "AUTOGIRO",  "BGIRO",    "PGIRO",     "WWW",
    "BG_AVGKOD", "RIKSBKOD", "OCRLEV", "SWIFTADR", "BANKKOD", "MBANKNAMN", "INAKTIV"};

void WriteRegisters(lumdb::sqldb_c* db, const SqlSampleOptions& o) {
  // A payment code of one to three digits is the cloud's code; another, the terms' own.
  TableWriter(db, "BETVILLK", {"BETVILLK", "TEXT", "BETKOD"})
      .Add({"30", "30 dagar netto", "30"})
      .Add({"K30", "Kontant 30 dagar", "30"})
      .Add({"10", "10 dagar netto", kNull})
      .Add({"K99", "Egen kod, förskott", "1234"});

  TableWriter(db, "KONTAKT", {"KUNDNR", "LEVNR", "SIGN", "EPOST", "MBTEL", "TEL"})
      .Add({"1", kNull, "ÅÖ", "asa@kund1.se", "070-123 45 67", "031 12 34 56"})
      .Add({"1", kNull, "XX", "annan@kund1.se", "", ""})  // another signature: not the reference
      .Add({kNull, "1", "BB", "bengt@lev1.se", "073-111 22 33", "08-123 45"});

  TableWriter customers(db, "KUND", kCustomerColumns);
  customers
      .Add({"1", "556036-0793", "Åsa Öberg", "Ring före ", "leverans.", "", "Port 3", "ÅÖ", "SEK", "7350000000002",
            "faktura@kund1.se", "Storgatan 1", "Box 12", "Göteborg", "SE", "411 01", "Byggbolaget Väst AB",
            "Lagervägen 5", "", "Mölndal", "SE", "431 30", "BIL", "FVL", "Byggbolaget Väst AB", "1", "070-123 45 67",
            "031-12 34 56", "30", "SE 5560 3607-93 01", "REF-1", "0"})
      .Add({"2", "19650312-1235", "Märta Sjögren", kNull, kNull, kNull, kNull, kNull, "SEK", kNull, "marta@example.se",
            "Ängsvägen 3", kNull, "Umeå", "SE", "903 31", kNull, kNull, kNull, kNull, kNull, kNull, "PO", "FK",
            "Märta Sjögren", "0", kNull, "090-12 34 56", "K30", kNull, kNull, "0"})
      .Add({"3", "", "", "", "", "", "", "", "EUR", "", "", "Hauptstraße 4", "", "München", "DE", "80331", "", "", "",
            "", "", "", "", "", "Müller GmbH", "1", "", "", "K99", "DE 123-456 789", "", "0"})
      .Add({"4", "556677-0001", "", "", "", "", "", "", "SEK", "", "", "Kungsgatan 9", "", "Malmö", "SE", "211 49",
            "", "", "", "", "", "", "", "", "Vilande Kund AB", "0", "", "", "10", "", "", "1"})  // inactive
      .Add({"5", "556677-0003", "", "", "", "", "", "", "SEK", "", "", "Kyrkvägen 2", "", "", "SE", "834 31", "", "",
            "", "", "", "", "", "", "Kund utan ort AB", "0", "", "", "10", "", "", "0"});  // refused: no city
  const int ordinaryCustomers = Ordinary(o.customers, kSpecialCustomers, "customers");
  for (int i = 0; i < ordinaryCustomers; ++i) {
    const bool person = i % 4 == 1;
    const std::string name = person ? PersonName(i) : Pick(kSurnames, i) + "s " + Pick(kGoods, i) + " AB";
    const std::string orgNo = person ? PersonNo(i) : OrgNo('5', i);
    customers.Add({std::to_string(1000 + i), orgNo, PersonName(i + 5), kNull, kNull, kNull, kNull, kNull, "SEK", kNull,
                   Mail("kund" + std::to_string(1000 + i), i), Street(i), kNull, Pick(kCities, i), "SE", PostalCode(i),
                   kNull, kNull, kNull, kNull, kNull, kNull, i % 2 ? "PO" : "BIL", i % 3 ? "FVL" : "FK", name, "0",
                   kNull, Phone(i), i % 2 ? "30" : "10",
                   person ? Value() : Value("SE" + orgNo.substr(0, 6) + orgNo.substr(7) + "01"), kNull, "0"});
  }

  TableWriter suppliers(db, "LEV", kSupplierColumns);
  suppliers
      .Add({"1", "556011-2233", "Bengt Bäckman", "Leverans ", "måndagar", "", "", "BB", "0", "SEK", "order@lev1.se",
            "Industrivägen 2", "", "Västerås", "SE", "721 30", "Järnhandel i Västerås AB", "073-111 22 33",
            "021-12 34 56", "30", "1", "123-4567", "12 34 56-7", "www.jarnhandel.se", "", "", "1", "", "", "", "0"})
      .Add({"2", "556011-4455", "", "", "", "", "", "", "0", "SEK", "", "Sjögatan 8", "", "Luleå", "SE", "972 31",
            "Norrlands Trä AB", "", "", "K30", "0", "1234 - 5678", "", "", "", "", "0", "", "", "", "0"})
      .Add({"3", "", "", "", "", "", "", "", "1", "EUR", "", "Rue de la Paix 1", "", "Paris", "FR", "75002",
            "Outils de Paris SARL", "", "", "30", "0", "FR76 3000-6000 0112 3456 7890 189", "", "", "0", "101", "0",
            "BNPAFRPP", "", "BNP Paribas", "0"})  // foreign: an IBAN
      .Add({"4", "", "", "", "", "", "", "", "1", "USD", "", "Main Street 5", "", "Boston", "US", "02108",
            "Boston Tools Inc", "", "", "30", "0", "12-34 5678", "", "", "1", "102", "0", "", "ABC", "First Bank",
            "0"})  // foreign: a BBAN with its bank code
      .Add({"5", "556011-6677", "", "", "", "", "", "", "0", "SEK", "", "", "", "Örebro", "SE", "", "Vilande Lev AB",
            "", "", "30", "0", "123-4567", "", "", "", "", "0", "", "", "", "1"})  // inactive
      .Add({"6", "556011-8899", "", "", "", "", "", "", "0", "SEK", "", "Åvägen 1", "", "Öckerö", "SE", "475 31",
            "Öckerö Åkeri AB", "", "", "10", "0", "12345678", "", "", "", "", "0", "", "", "", "0"})  // bad bankgiro
      .Add({"7", "", "", "", "", "", "", "", "0", "SEK", "", "", "", "", "SE", "", "", "", "", "30", "0", "", "", "",
            "", "", "0", "", "", "", "0"});  // refused: no name
  const int ordinarySuppliers = Ordinary(o.suppliers, kSpecialSuppliers, "suppliers");
  for (int i = 0; i < ordinarySuppliers; ++i) {
    const std::string bankgiro = Format("%d", 100 + i % 9000) + "-" + Format("%04d", i * 37 % 10000);
    suppliers.Add({std::to_string(100 + i), OrgNo('5', 9000 + i), PersonName(i + 2), kNull, kNull, kNull, kNull,
                   kNull, "0", "SEK", Mail("lev" + std::to_string(100 + i), i), Street(i + 3), kNull,
                   Pick(kCities, i + 4), "SE", PostalCode(i + 9), Pick(kSurnames, i) + " Grossist AB", kNull,
                   Phone(i + 11), "30", i % 5 == 0 ? "1" : "0", bankgiro, kNull, kNull, kNull, kNull,
                   i % 2 ? "1" : "0", kNull, kNull, kNull, "0"});
  }
}

// ---------------------------------------------------------------- open invoices

constexpr int kFirstOrdinaryInvoice = 10100;

// How many ordinary customer invoices there are: the open ones, and after every fifth a paid one.
int OrdinaryCustomerInvoices(const SqlSampleOptions& o) {
  const int open = Ordinary(o.customerInvoices, kSpecialCustomerInvoices, "customer invoices");
  return open + open / 5;
}

void WriteLedgers(lumdb::sqldb_c* db, const SqlSampleOptions& o, int year) {
  TableWriter documents(db, "OOF",
                        {"DOKTYP", "DOKNR", "KOPPL_DOK3", "UTSK", "MAKUL", "DATUM1", "DATUM2", "FKTTYP", "KUNDNR",
                         "NAMN", "POSTADR", "POSTADR2", "POSTNR", "ORT", "VALUTAKOD", "VALUTAKURS", "VALUTAENH",
                         "TOTALT", "SALDO", "MOMSBEL1", "MOMSBEL2", "MOMSBEL3", "MOMSBEL4", "KNTKUNDF", "OCRNR",
                         "LANDKOD"});
  const std::string d1 = Date(year, 1, 31), d2 = Date(year, 3, 1);
  const auto invoice = [&](const char* type, int number, const char* booked, const Value& cancelled, const Value& kind,
                           const char* total, const char* balance, const char* vat) {
    return Row{type, std::to_string(number), booked, "1", cancelled, d1, d2, kind, "1", "Byggbolaget Väst AB",
               "Storgatan 1", "Box 12", "411 01", "Göteborg", "SEK", kNull, kNull, total, balance, vat, "0", "0", "0",
               "1510", WithLuhn(std::to_string(number)), "SE"};
  };
  documents.Add(invoice("F", 10001, "1234", "0", "F", "1250", "1250", "250"))     // open and booked
      .Add(invoice("F", 10002, "0", "0", "F", "500", "500", "100"))                // refused: not booked
      .Add(invoice("F", 10003, "1240", "0", "K", "1250", "-1250", "250"))          // credit
      .Add(invoice("F", 10004, "0", "0", "f", "80.5", "80.5", "16.1"))             // exempt from the booking
      .Add(invoice("F", 10005, "1241", "0", "N", "100", "100", "20"))              // never sent: not read
      .Add(invoice("F", 10006, "1242", "0", "F", "300", "0", "60"))                // paid: not read
      .Add(invoice("F", 10007, "1243", "1", "F", "300", "300", "60"))              // cancelled: not read
      .Add(invoice("F", 10008, "1244", kNull, "F", "420", "210", "84"))            // cancelled flag NULL: open
      .Add(invoice("F", 10010, "1245", "0", kNull, "75", "75", "15"))              // type NULL: open
      .Add(invoice("O", 20001, "0", "0", "F", "999", "999", "199.8"));             // an order: not read
  // In euro with its rate; and one whose rate was never set.
  documents.Add({"F", "10009", "1246", "1", "0", d1, d2, "F", "3", "Müller GmbH", "Hauptstraße 4", "", "80331",
                 "München", "EUR", "10.86", "1", "1000", "1000", "0", "0", "0", "0", "1510", "", "DE"});
  documents.Add({"F", "10011", "1247", "1", "0", d1, d2, "F", "3", "Müller GmbH", "Hauptstraße 4", "", "80331",
                 "München", "EUR", kNull, kNull, "200", "200", "0", "0", "0", "0", "1510", "", "DE"});
  const int customers = o.customers - kSpecialCustomers;
  int number = kFirstOrdinaryInvoice;
  const int ordinary = Ordinary(o.customerInvoices, kSpecialCustomerInvoices, "customer invoices");
  for (int i = 0; i < ordinary; ++i) {
    for (const bool paid : {false, true}) {
      if (paid && i % 5 != 4) continue;
      const std::string customer = customers > 0 ? std::to_string(1000 + i % customers) : "1";
      const long long total = 12500 + i * 7919 % 2000000;
      documents.Add({"F", std::to_string(number), std::to_string(2000 + i), "1", "0", Date(year, 1 + i % 12, 1 + i % 28),
                     Date(year, 1 + (i + 1) % 12, 1 + i % 28), "F", customer, PersonName(i + 5), Street(i), kNull,
                     PostalCode(i), Pick(kCities, i), "SEK", kNull, kNull, Amount(total),
                     Amount(paid ? 0 : total - i % 3 * 1000), Amount(total / 5), "0", "0", "0", "1510",
                     WithLuhn(std::to_string(number)), "SE"});
      ++number;
    }
  }

  TableWriter invoices(db, "LEVFKT",
                       {"LOEPNR", "FKT_TYP", "FKT_NR", "LEVNR", "NAMN", "OCR", "FDATUM", "FFDATUM", "MOMSBEL",
                        "VALUTAKOD", "VKURS", "VENHET", "KNTLEVF", "TOTAL", "SALDO", "JOURN_NR", "MAKUL"});
  invoices
      .Add({"1", "F", "A-778", "1", "Järnhandel i Västerås AB", WithLuhn("4455667"), d1, d2, "125", "SEK", kNull, kNull,
            "2440", "625", "625", "301", "0"})  // a payment reference
      .Add({"2", "F", "99812", "2", "Norrlands Trä AB", "Avser order 4711, Åre", d1, d2, "50", "SEK",
            kNull, kNull, "2440", "250", "250", "302", "0"})  // a payment message, not a reference
      .Add({"3", "K", "K-12", "1", "Järnhandel i Västerås AB", "", d1, d2, "25", "SEK", kNull, kNull, "2440", "125",
            "-125", "303", "0"})  // credit
      .Add({"4", "F", "FR-2024-1", "3", "Outils de Paris SARL", "", d1, d2, "0", "EUR", "11.2", "1", "2440", "400",
            "400", "304", "0"})  // in euro
      .Add({"5", "F", "77", "1", "Järnhandel i Västerås AB", "", d1, d2, "20", "SEK", kNull, kNull, "2440", "100", "100",
            "0", "0"})  // refused: not booked
      .Add({"6", "F", "78", "1", "Järnhandel i Västerås AB", "", d1, d2, "20", "SEK", kNull, kNull, "2440", "100", "0",
            "305", "0"})  // paid: not read
      .Add({"7", "F", "79", "2", "Norrlands Trä AB", "", d1, d2, "20", "SEK", kNull, kNull, "2440", "100", "100", "306",
            "1"})  // cancelled: not read
      .Add({"8", "F", "80", "2", "Norrlands Trä AB", "", d1, d2, "20", "SEK", kNull, kNull, "2440", "100", "100", "307",
            kNull})  // cancelled flag NULL: open
      .Add({"9", "F", "5501", "99", "Okänd Leverantör AB", "1234567890", d1, d2, "30", "USD", "0", "0", "2440", "150",
            "150", "308", "0"});  // not in the register, rate not set; the OCR fails its check digit
  const int suppliers = o.suppliers - kSpecialSuppliers;
  int id = 100;
  const int ordinaryInvoices = Ordinary(o.supplierInvoices, kSpecialSupplierInvoices, "supplier invoices");
  for (int i = 0; i < ordinaryInvoices; ++i) {
    for (const bool paid : {false, true}) {
      if (paid && i % 5 != 4) continue;
      const int supplier = suppliers > 0 ? 100 + i % suppliers : 1;
      const long long total = 9900 + i * 6151 % 1500000;
      invoices.Add({std::to_string(id), "F", Format("L%06d", id - 99), std::to_string(supplier),
                    Pick(kSurnames, i % std::max(suppliers, 1)) + " Grossist AB", WithLuhn(Format("%d", 880000 + i)),
                    Date(year, 1 + i % 12, 1 + i % 28), Date(year, 1 + (i + 1) % 12, 1 + i % 28), Amount(total / 5),
                    "SEK", kNull, kNull, "2440", Amount(total), Amount(paid ? 0 : total), std::to_string(400 + i), "0"});
      ++id;
    }
  }
}

// ---------------------------------------------------------------- bookkeeping

void WriteBookkeeping(lumdb::sqldb_c* db, int year) {
  TableWriter(db, "BOKFAAR", {"AAR_ID", "BOERJAN", "SLUT", "KPTYP"})
      .Add({"1", Date(year - 1, 1, 1), Date(year - 1, 12, 31), "BAS2024"})
      .Add({"2", Date(year, 1, 1), Date(year, 12, 31), "BAS2024"});
  static const char* const kAccounts[][2] = {
      {"1220", "Inventarier och verktyg"}, {"1510", "Kundfordringar"},        {"1930", "Företagskonto"},
      {"2081", "Aktiekapital"},            {"2440", "Leverantörsskulder"},    {"2611", "Utgående moms, 25 %"},
      {"2641", "Debiterad ingående moms"}, {"3001", "Försäljning inom Sverige, 25 %"},
      {"3740", "Öres- och kronutjämning"}, {"4010", "Inköp av varor"},        {"5010", "Lokalhyra"},
      {"6110", "Kontorsmateriel"},         {"7010", "Löner till kollektivanställda"},
      {"8310", "Ränteintäkter från omsättningstillgångar"}, {"8999", "Årets resultat"}};
  TableWriter konto(db, "KONTO", {"AAR_ID", "KONTO", "BENAEMN"});
  for (const char* yearId : {"1", "2"})
    for (const auto& [number, name] : kAccounts) konto.Add({yearId, number, name});
}

// The tables of the data model, with their own indexes, as the program's database has them.
void CreateTables(lumdb::sqldb_c* db, const lumdb::datamodel_c& model) {
  for (const int id : model.table_ids()) {
    const lumdb::table_desc_t& table = *model.table_by_id(id);
    std::string sql = "CREATE TABLE " + table.name + " (";
    for (std::size_t i = 0; i < table.stored_fields.size(); ++i)
      sql += (i ? ", " : "") + table.stored_fields[i]->name + " " + SqlServerType(*table.stored_fields[i]);
    Run(db, sql + ")");
  }
}

void CreateIndexes(lumdb::sqldb_c* db, const lumdb::datamodel_c& model) {
  for (const int id : model.table_ids()) {
    const lumdb::table_desc_t& table = *model.table_by_id(id);
    for (const auto& index : table.indexes) {
      if (index->automatic) continue;
      std::string keys;
      for (const lumdb::index_field_t& field : index->fields)
        if (!field.include) keys += (keys.empty() ? "" : ", ") + model.field_by_id(field.field_id)->name;
      Run(db, "CREATE INDEX " + index->name + " ON " + table.name + " (" + keys + ")");
    }
  }
}

}  // namespace

SqlSampleOptions LargestSqlSample() {
  SqlSampleOptions options;
  options.articles = 50000;
  options.customers = options.suppliers = 20000;
  options.customerInvoices = options.supplierInvoices = 20000;
  return options;
}

SqlSampleOptions DoubledSqlSample() {
  SqlSampleOptions options = LargestSqlSample();
  for (int* count : {&options.articles, &options.customers, &options.suppliers, &options.customerInvoices,
                     &options.supplierInvoices})
    *count *= 2;
  return options;
}

void WriteSampleSqlCompany(const std::filesystem::path& companyFolder, const std::filesystem::path& programFolder,
                           const SqlSampleOptions& options) {
  std::filesystem::create_directories(companyFolder);
  std::filesystem::create_directories(programFolder);
  WriteDataModelFile(programFolder);
  lumdb::datamodel_c model;
  lumdb::xml_dmoloader_c loader((programFolder / kDataModelFileName).string(), model, false);
  if (!loader.load()) throw std::runtime_error("Datamodellen kunde inte läsas");
  const int year = options.bookingYear ? options.bookingYear : platform::CurrentClock().Now().year;

  const std::filesystem::path database = std::filesystem::absolute(companyFolder / kSqlDatabaseFileName);
  std::filesystem::remove(database);
  std::ofstream(database).close();  // the driver opens only an existing file
  lumdb::session_c session;
  if (const std::error_code failed = session.open("(local)", database.string(), "", ""))
    throw std::runtime_error("Kunde inte öppna " + database.string() + ": " + failed.message());
  lumdb::sqldb_c* db = session.connection();
  CreateTables(db, model);
  {
    // One transaction: the largest company is written in seconds, not minutes.
    if (db->begin_transaction(&session)) throw std::runtime_error("Kunde inte börja skriva " + database.string());
    WriteParameters(db, kFirstOrdinaryInvoice + OrdinaryCustomerInvoices(options));
    WriteArticles(db, options);
    WriteRegisters(db, options);
    WriteLedgers(db, options, year);
    WriteBookkeeping(db, year);
    if (db->end_transaction(&session, true))
      throw std::runtime_error("Kunde inte skriva " + database.string() + ": " + db->last_diagnostic_text());
  }
  CreateIndexes(db, model);

  std::ofstream ini(companyFolder / "ftg.ini", std::ios::binary);
  ini << "[DataSource]\r\nDisplayName=" << kSqlCompanyName
      << "\r\nDisplayVariant=1\r\nDisplayVersion=" << kDatabaseVersion << "\r\nDBInstance=(local)\r\nDBName="
      << database.string()
      << "\r\nAuth=\r\n";
  if (!ini) throw std::runtime_error("Kunde inte skriva " + (companyFolder / "ftg.ini").string());
}

}  // namespace samplecompany
