#pragma once
// The data model of the recordset tests: articles with prices (joined
// explicitly), suppliers reached along references, and a SQLite company
// database of 250 generated articles to run the statements on.
#include <string>

#include "lumdb/query/datamodel.h"

namespace lumdb::test::rs {

constexpr int field(int table, int number) { return table << 16 | number; }

constexpr int art = 1, pris = 2, lev = 3, land = 4, valuta = 5;
constexpr int artnr = field(art, 1);    // VARCHAR(20), primary key
constexpr int ben = field(art, 2);      // VARCHAR(40)
constexpr int inaktiv = field(art, 3);  // BIT
constexpr int andrad = field(art, 4);   // TIMESTAMP, set by the server
constexpr int skapad = field(art, 5);   // TIMESTAMP, set by the server
constexpr int art_lev = field(art, 6);  // VARCHAR(10), refers to LEV
constexpr int antal = field(art, 7);    // INTEGER
constexpr int pris_artnr = field(pris, 1);
constexpr int pris_pris = field(pris, 2);  // INTEGER
constexpr int levnr = field(lev, 1);
constexpr int lev_land = field(lev, 2);    // refers to LAND
constexpr int lev_valuta = field(lev, 3);  // refers to VALUTA
constexpr int land_kod = field(land, 1);
constexpr int land_namn = field(land, 2);
constexpr int valuta_kod = field(valuta, 1);
constexpr int valuta_namn = field(valuta, 2);

// Built once; installed as the process default while a scope lives.
datamodel_c& recordset_model();
class scoped_recordset_model {
 public:
  scoped_recordset_model();
  ~scoped_recordset_model();
  scoped_recordset_model(const scoped_recordset_model&) = delete;
  scoped_recordset_model& operator=(const scoped_recordset_model&) = delete;
};

// SQLite statements that make ART (articles A001 to A250, every third
// inactive, ANTAL = number modulo 7), PRIS (a price for each even article)
// and LEV. LAND and VALUTA are left out: a statement on them fails.
std::string company_schema_and_rows();

}  // namespace lumdb::test::rs
