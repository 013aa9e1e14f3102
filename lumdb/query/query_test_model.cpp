#include "lumdb/query/query_test_model.h"

#include <stdexcept>

#include "lumdb/query/datamodel_loader.h"
#include "lumdb/record/dbobj.h"

namespace lumdb::test {
namespace {

class query_model_builder : public datamodel_loader_c {
 public:
  using datamodel_loader_c::datamodel_loader_c;

 private:
  bool parse() override {
    struct field_t {
      int id;
      const char* name;
      int type, length, decimals;
    };
    static const field_t article_fields[] = {
        {artnr, "ARTNR", 12, 20, 0}, {namn, "NAMN", 12, 40, 0},   {pris, "PRIS", 2, 12, 2},
        {antal, "ANTAL", 4, 0, 0},   {lager, "LAGER", 5, 0, 0},   {aktiv, "AKTIV", -7, 0, 0},
        {datum, "DATUM", 9, 0, 0},   {andrad, "ANDRAD", 11, 0, 0}, {stor, "STOR", -5, 0, 0},
        {vikt, "VIKT", 8, 0, 0},     {radid, "RADID", -11, 0, 0}, {art_kundnr, "KUNDNR", 12, 10, 0},
        {bild, "BILD", -4, 0, 0},    {ar, "ÅR", 4, 0, 0},
    };
    bool ok = begin_table(art, "ART");
    for (const field_t& f : article_fields) ok = ok && add_field(f.id, f.name, f.type, f.length, f.decimals, 0);
    ok = ok && add_filter(1, "AKTIV = TRUE", "Aktiva", "") && add_filter(2, "AKTIV = = TRUE", "Trasig", "") &&
         end_table();
    ok = ok && begin_table(kund, "KUND") && add_field(kund_kundnr, "KUNDNR", 12, 10, 0, 0) &&
         add_field(land, "LAND", 12, 2, 0, 0) && end_table();
    ok = ok && begin_table_alias("AKTIVA_ARTIKLAR", active_articles, "ART", 1) && end_table_alias();
    ok = ok && begin_table_alias("TRASIGA_ARTIKLAR", broken_alias, "ART", 2) && end_table_alias();
    ok = ok && begin_table_alias("ALLA_ARTIKLAR", plain_alias, "ART", 0) && end_table_alias();
    return ok;
  }
};

}  // namespace

datamodel_c& query_model() {
  static datamodel_c* model = [] {
    auto* built = new datamodel_c;
    query_model_builder builder(*built, false);
    if (!builder.load()) throw std::logic_error("the query test model does not build: " + builder.failure());
    return built;
  }();
  return *model;
}

scoped_query_model::scoped_query_model() {
  set_default_datamodel(nullptr);
  set_default_datamodel(&query_model());
}

scoped_query_model::~scoped_query_model() { set_default_datamodel(nullptr); }

const sqldb_c* any_connection() {
  static const char tag = 0;
  return reinterpret_cast<const sqldb_c*>(&tag);
}

const alias_map_t& test_aliases() {
  static const alias_map_t aliases = {{{{}, art}, "T0"}, {{{art_kundnr}, kund}, "T1"}};
  return aliases;
}

}  // namespace lumdb::test
