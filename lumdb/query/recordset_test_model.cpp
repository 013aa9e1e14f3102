#include "lumdb/query/recordset_test_model.h"

#include <cstdio>
#include <stdexcept>

#include "lumdb/query/datamodel_loader.h"
#include "lumdb/record/dbobj.h"

namespace lumdb::test::rs {
namespace {

class builder_c : public datamodel_loader_c {
 public:
  using datamodel_loader_c::datamodel_loader_c;

 private:
  bool key(const char* index, int field_id) {
    return begin_index(index, true, true, false, 0) && add_index_field(field_id, false, false) && end_index(false);
  }
  bool reference(const char* target, const char* index, const char* field_name) {
    return begin_reference(false, target, index, 0, 0) && add_reference_field(field_name) && end_reference();
  }
  bool parse() override {
    bool ok = begin_table(art, "ART") && add_field(artnr, "ARTNR", 12, 20, 0, 0) &&
              add_field(ben, "BEN", 12, 40, 0, 0) && add_field(inaktiv, "INAKTIV", -7, 0, 0, 0) &&
              add_field(andrad, "ANDRAD", 11, 0, 0, 0) && set_auto_timestamp(true) &&
              add_field(skapad, "SKAPAD", 11, 0, 0, 0) && set_auto_timestamp(true) &&
              add_field(art_lev, "LEV", 12, 10, 0, 0) && add_field(antal, "ANTAL", 4, 0, 0, 0) &&
              key("PK_ART", artnr) && reference("LEV", "PK_LEV", "LEV") && end_table();
    ok = ok && begin_table(pris, "PRIS") && add_field(pris_artnr, "ARTNR", 12, 20, 0, 0) &&
         add_field(pris_pris, "PRIS", 4, 0, 0, 0) && key("PK_PRIS", pris_artnr) && end_table();
    ok = ok && begin_table(lev, "LEV") && add_field(levnr, "LEVNR", 12, 10, 0, 0) &&
         add_field(lev_land, "LAND", 12, 2, 0, 0) && add_field(lev_valuta, "VALUTA", 12, 3, 0, 0) &&
         key("PK_LEV", levnr) && reference("LAND", "PK_LAND", "LAND") && reference("VALUTA", "PK_VALUTA", "VALUTA") &&
         end_table();
    ok = ok && begin_table(land, "LAND") && add_field(land_kod, "KOD", 12, 2, 0, 0) &&
         add_field(land_namn, "NAMN", 12, 40, 0, 0) && key("PK_LAND", land_kod) && end_table();
    ok = ok && begin_table(valuta, "VALUTA") && add_field(valuta_kod, "KOD", 12, 3, 0, 0) &&
         add_field(valuta_namn, "NAMN", 12, 40, 0, 0) && key("PK_VALUTA", valuta_kod) && end_table();
    return ok;
  }
};

}  // namespace

datamodel_c& recordset_model() {
  static datamodel_c* model = [] {
    auto* built = new datamodel_c;
    builder_c builder(*built, false);
    if (!builder.load()) throw std::logic_error("the recordset test model does not build: " + builder.failure());
    return built;
  }();
  return *model;
}

scoped_recordset_model::scoped_recordset_model() {
  set_default_datamodel(nullptr);
  set_default_datamodel(&recordset_model());
}

scoped_recordset_model::~scoped_recordset_model() { set_default_datamodel(nullptr); }

std::string company_schema_and_rows() {
  std::string sql =
      "CREATE TABLE ART (ARTNR VARCHAR(20) PRIMARY KEY, BEN VARCHAR(40), INAKTIV BIT, ANDRAD TIMESTAMP,"
      " SKAPAD TIMESTAMP, LEV VARCHAR(10), ANTAL INTEGER);"
      "CREATE TABLE PRIS (ARTNR VARCHAR(20) PRIMARY KEY, PRIS INTEGER);"
      "CREATE TABLE LEV (LEVNR VARCHAR(10) PRIMARY KEY, LAND VARCHAR(2), VALUTA VARCHAR(3));"
      "INSERT INTO LEV VALUES ('L1', 'SE', 'SEK');";
  char row[200];
  for (int n = 1; n <= 250; ++n) {
    std::snprintf(row, sizeof row, "INSERT INTO ART VALUES ('A%03d', 'Artikel %d', %d, NULL, NULL, 'L1', %d);", n, n,
                  n % 3 == 0 ? 1 : 0, n % 7);
    sql += row;
    if (n % 2 == 0) {
      std::snprintf(row, sizeof row, "INSERT INTO PRIS VALUES ('A%03d', %d);", n, n * 10);
      sql += row;
    }
  }
  return sql;
}

}  // namespace lumdb::test::rs
