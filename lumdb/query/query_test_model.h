#pragma once
// The small data model the query tests and the filter parser's fuzz target
// render against: an article table with one field of each constant type, a
// customer table it joins, and table aliases with named filters.
#include "lumdb/query/colexpr.h"
#include "lumdb/query/datamodel.h"

namespace lumdb::test {

constexpr int art = 1;
constexpr int kund = 2;
constexpr int field(int table, int number) { return table << 16 | number; }

constexpr int artnr = field(art, 1);   // VARCHAR(20)
constexpr int namn = field(art, 2);    // VARCHAR(40)
constexpr int pris = field(art, 3);    // NUMERIC(12, 2)
constexpr int antal = field(art, 4);   // INTEGER
constexpr int lager = field(art, 5);   // SMALLINT
constexpr int aktiv = field(art, 6);   // BIT
constexpr int datum = field(art, 7);   // DATE
constexpr int andrad = field(art, 8);  // TIMESTAMP
constexpr int stor = field(art, 9);    // BIGINT
constexpr int vikt = field(art, 10);   // DOUBLE
constexpr int radid = field(art, 11);  // GUID
constexpr int art_kundnr = field(art, 12);  // VARCHAR(10), refers to KUND
constexpr int bild = field(art, 13);   // LONGVARBINARY
constexpr int ar = field(art, 14);     // INTEGER named "ÅR"
constexpr int kund_kundnr = field(kund, 1);  // VARCHAR(10)
constexpr int land = field(kund, 2);         // VARCHAR(2)

constexpr int active_articles = 100;  // alias of ART with the filter AKTIV = TRUE
constexpr int broken_alias = 101;     // alias of ART whose filter text does not parse
constexpr int plain_alias = 102;      // alias of ART without a filter

// Built once; lives for the whole test program.
datamodel_c& query_model();

// Installs the query model as the process default while it lives.
class scoped_query_model {
 public:
  scoped_query_model();
  ~scoped_query_model();
  scoped_query_model(const scoped_query_model&) = delete;
  scoped_query_model& operator=(const scoped_query_model&) = delete;
};

// The rendering only asks whether a connection is there (names are then
// quoted), so the tests hand it a pointer that no code follows.
const sqldb_c* any_connection();

// T0 for the base table ART, T1 for KUND reached along ART.KUNDNR.
const alias_map_t& test_aliases();

}  // namespace lumdb::test
