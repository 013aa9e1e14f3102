// The model's look-ups and the builder's rules, driven through the builder
// operations directly (the XML loader is tested on its own).
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lumdb/query/datamodel.h"
#include "lumdb/query/datamodel_loader.h"
#include "platform/fake/captured_log.h"

namespace lumdb {
namespace {

constexpr int kVarchar = 12;
constexpr int kInteger = 4;
constexpr int kTimestamp = 11;

using script_t = std::function<bool(datamodel_loader_c&)>;

// A builder whose "source" is a script of builder calls.
class scripted_loader_c : public datamodel_loader_c {
 public:
  scripted_loader_c(datamodel_c& model, script_t script, bool unresolved = false)
      : datamodel_loader_c(model, unresolved), script_(std::move(script)) {}

 protected:
  bool parse() override { return script_(*this); }

 private:
  script_t script_;
};

bool load(datamodel_c& model, const script_t& script, bool unresolved = false) {
  return scripted_loader_c(model, script, unresolved).load();
}

// Field ids of the tables the scripts build.
constexpr int F(int table, int number) { return make_field_id(table, number); }

// Opens table 1 KUND with the stored fields KUNDNR (1) and NAMN (2).
bool open_kund(datamodel_loader_c& b) {
  return b.begin_table(1, "KUND") && b.add_field(F(1, 1), "KUNDNR", kVarchar, 10, 0, calc_stored) &&
         b.add_field(F(1, 2), "NAMN", kVarchar, 50, 0, calc_stored);
}

// KUND (ended), then ORDERHUVUD (2) with the primary key ORDERNR, and
// ORDERRAD (3) with ORDERNR, RADNR and the primary key (ORDERNR, RADNR) -
// left open for the case to add its references and indexes.
bool orders(datamodel_loader_c& b) {
  return open_kund(b) && b.begin_index("PK_KUND", true, false, false, 0) &&
         b.add_index_field(F(1, 1), false, false) && b.end_index(false) && b.end_table() &&
         b.begin_table(2, "ORDERHUVUD") && b.add_field(F(2, 1), "ORDERNR", kInteger, 0, 0, calc_stored) &&
         b.add_field(F(2, 2), "KUNDNR", kVarchar, 10, 0, calc_stored) &&
         b.begin_index("PK_ORDERHUVUD", true, false, false, 0) && b.add_index_field(F(2, 1), false, false) &&
         b.end_index(false) && b.end_table() && b.begin_table(3, "ORDERRAD") &&
         b.add_field(F(3, 1), "ORDERNR", kInteger, 0, 0, calc_stored) &&
         b.add_field(F(3, 2), "RADNR", kInteger, 0, 0, calc_stored) &&
         b.add_field(F(3, 3), "ARTNR", kVarchar, 20, 0, calc_stored) &&
         b.begin_index("PK_ORDERRAD", true, false, false, 0) && b.add_index_field(F(3, 1), false, false) &&
         b.add_index_field(F(3, 2), false, false) && b.end_index(false);
}

TEST(DataModel, NameLookupsIgnoreCaseWithSwedishLetters) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return open_kund(b) && b.add_field(F(1, 3), "Lönekod", kVarchar, 4, 0, calc_stored) && b.end_table() &&
           b.begin_table(2, "Företag") && b.add_field(F(2, 1), "ID", kInteger, 0, 0, calc_stored) && b.end_table();
  }));
  for (const char* name : {"kund", "Kund", "KUND"}) EXPECT_EQ(model.table_id_by_name(name), 1) << name;
  EXPECT_EQ(model.table_id_by_name("FÖRETAG"), 2);
  EXPECT_EQ(model.table_id_by_name("företag"), 2);
  EXPECT_EQ(model.table_id_by_name("ORDER"), no_id);
  const table_desc_t* kund = model.table_by_id(1);
  ASSERT_NE(kund, nullptr);
  EXPECT_EQ(kund->field_id_by_name("LÖNEKOD"), F(1, 3));
  EXPECT_EQ(kund->field_id_by_name("namn"), F(1, 2));
  EXPECT_EQ(kund->field_id_by_name("ID"), no_id);
  // The model knows the field, but it is not this table's.
  EXPECT_NE(model.field_by_id(F(2, 1)), nullptr);
  EXPECT_EQ(kund->field_by_id(F(2, 1)), nullptr);
  EXPECT_EQ(kund->field_by_id(F(1, 2))->name, "NAMN");
}

TEST(DataModel, AddTableRefusesACollisionAndChangesNothing) {
  struct collision_t {
    const char* what;
    int id;
    const char* name;
    int field_number;
  };
  const collision_t cases[] = {
      {"same id", 1, "ANNAN", 1},
      {"same name in another case", 5, "kund", 1},
      {"a field id another table holds", 5, "ANNAN", -1},
  };
  for (const auto& c : cases) {
    datamodel_c model;
    ASSERT_TRUE(load(model, [](datamodel_loader_c& b) { return open_kund(b) && b.end_table(); }));
    auto table = std::make_unique<table_desc_t>(c.id, c.name);
    auto field = std::make_shared<field_desc_t>();
    // -1: a field whose id is KUND's KUNDNR.
    field->id = c.field_number < 0 ? F(1, 1) : F(c.id, c.field_number);
    field->table = table.get();
    table->stored_fields.push_back(field);
    EXPECT_FALSE(model.add_table(table)) << c.what;
    EXPECT_NE(table, nullptr) << c.what << ": the caller keeps the table";
    EXPECT_EQ(model.table_count(), 1u) << c.what;
    EXPECT_EQ(model.field_by_id(F(1, 1))->table, model.table_by_id(1)) << c.what;
  }
}

TEST(DataModel, ConflictGroupsAreCountedWhenTheTableIsAdded) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return open_kund(b) && b.end_table() && b.begin_table(2, "GRUPPER") &&
           b.add_field(F(2, 1), "A", kInteger, 0, 0, calc_stored) && b.set_conflict_group(1) &&
           b.add_field(F(2, 2), "B", kInteger, 0, 0, calc_stored) && b.set_conflict_group(2) &&
           b.add_field(F(2, 3), "C", kInteger, 0, 0, calc_expr) && b.set_conflict_group(2) &&
           b.add_field(F(2, 4), "D", kInteger, 0, 0, calc_stored) && b.end_table();
  }));
  EXPECT_EQ(model.table_by_id(1)->conflict_group_count, 1);
  EXPECT_EQ(model.table_by_id(2)->conflict_group_count, 3);
}

TEST(DataModel, FieldDescriptorHelpers) {
  field_desc_t field;
  const std::pair<int, bool> text_types[] = {{12, true}, {-1, true}, {-9, true}, {-10, true},
                                             {-11, false}, {-2, false}, {4, false}};
  for (const auto& [type, text] : text_types) {
    field.sql_type = type;
    EXPECT_EQ(field.is_text(), text) << type;
  }
  EXPECT_EQ(field.default_text(), nullptr);
  field.has_default = true;
  ASSERT_NE(field.default_text(), nullptr);
  EXPECT_EQ(*field.default_text(), "");

  field.value_entries = {{"", "Kredit", "K"}, {"fakt", "Faktura", "F"}, {"", "B-värde", "F"}};
  using pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(field.values(nullptr), (pairs{{"B-värde", "F"}, {"Faktura", "F"}, {"Kredit", "K"}}));
  struct only_empty_c : condition_evaluator_i {
    bool applies(const std::string& cond) const override { return cond.empty(); }
  } only_empty;
  EXPECT_EQ(field.values(&only_empty), (pairs{{"B-värde", "F"}, {"Kredit", "K"}}));
}

TEST(DataModel, JoinPathsCompareWithoutMinusOne) {
  EXPECT_TRUE(same_join_path({5, 7}, {5, 7}));
  EXPECT_TRUE(same_join_path({}, {}));
  EXPECT_FALSE(same_join_path({-1}, {-1}));
  EXPECT_FALSE(same_join_path({5}, {5, 7}));
  EXPECT_FALSE(same_join_path({5, 7}, {7, 5}));
}

TEST(DataModel, ResolveJoinPath) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return orders(b) && b.end_table() && b.begin_table(4, "LAND") &&
           b.add_field(F(4, 1), "LANDKOD", kVarchar, 2, 0, calc_stored) && b.end_table();
  }));
  const std::pair<const char*, join_path_t> cases[] = {
      {"ORDERNR", {F(3, 1)}},
      {" ordernr ,ORDERHUVUD.KUNDNR", {F(3, 1), F(2, 2)}},
      // An element without a table is a field of the starting table, not of
      // the table reached so far.
      {"ORDERNR, RADNR", {F(3, 1), F(3, 2)}},
      {"", {}},
      {"ORDERNR,,RADNR", {}},
      {"OKÄNT", {}},
      {"ORDERNR, OKÄND.KUNDNR", {}},
      {"ORDERNR, LAND.KUNDNR", {}},
  };
  for (const auto& [text, path] : cases) EXPECT_EQ(model.resolve_join_path(3, text), path) << text;
}

// Each case runs a script on a fresh builder and checks the answer of its
// last operation.
struct builder_case_t {
  const char* what;
  script_t script;
  bool expected;
};

TEST(DataModelBuilder, OperationRules) {
  const builder_case_t cases[] = {
      {"a second begin_table before end_table", [](auto& b) { return open_kund(b) && b.begin_table(2, "X"); },
       false},
      {"a table without a stored field", [](auto& b) {
         return b.begin_table(1, "T") && b.add_field(F(1, 1), "C", kInteger, 0, 0, calc_expr) && b.end_table();
       },
       false},
      {"table id 0", [](auto& b) { return b.begin_table(0, "T"); }, false},
      {"table id 32768", [](auto& b) { return b.begin_table(32768, "T"); }, false},
      {"table id 32767", [](auto& b) { return b.begin_table(32767, "T"); }, true},
      {"Namn after NAMN", [](auto& b) { return open_kund(b) && b.add_field(F(1, 3), "Namn", kVarchar, 5, 0, 0); },
       false},
      {"a stored field reusing an id", [](auto& b) { return open_kund(b) && b.add_field(F(1, 2), "X", 4, 0, 0, 0); },
       false},
      {"a calculated field reusing a stored field's id",
       [](auto& b) { return open_kund(b) && b.add_field(F(1, 2), "X", kInteger, 0, 0, calc_expr); }, false},
      {"a field id of another table", [](auto& b) { return open_kund(b) && b.add_field(F(2, 3), "X", 4, 0, 0, 0); },
       false},
      {"decimals 128", [](auto& b) { return open_kund(b) && b.add_field(F(1, 3), "X", 2, 10, 128, 0); }, false},
      {"decimals 127", [](auto& b) { return open_kund(b) && b.add_field(F(1, 3), "X", 2, 10, 127, 0); }, true},
      {"a setter without a field", [](auto& b) { return b.begin_table(1, "T") && b.set_width(3); }, false},
      {"a second table alias text", [](auto& b) { return open_kund(b) && b.set_alias("K") && b.set_alias("L"); },
       false},
      {"a second auto-increment field",
       [](auto& b) { return open_kund(b) && b.set_auto_increment_field(F(1, 1)) && b.set_auto_increment_field(F(1, 2)); },
       false},
      {"autots on a varchar", [](auto& b) { return open_kund(b) && b.set_auto_timestamp(true); }, false},
      {"autots on a time stamp",
       [](auto& b) { return open_kund(b) && b.add_field(F(1, 3), "TS", kTimestamp, 0, 0, 0) && b.set_auto_timestamp(true); },
       true},
      {"a join path text on a stored field", [](auto& b) { return open_kund(b) && b.set_join_path_text("X"); }, false},
      {"a value-list base of another table", [](auto& b) { return open_kund(b) && b.set_values_base(F(2, 1)); }, false},
      {"a value entry repeating a base value in another case",
       [](auto& b) { return open_kund(b) && b.add_field_value("k", "Kredit", "") && b.add_field_value("K", "X", ""); },
       false},
      {"a second primary key", [](auto& b) {
         return open_kund(b) && b.begin_index("A", true, false, false, 0) && b.add_index_field(F(1, 1), 0, 0) &&
                b.end_index(false) && b.begin_index("B", true, false, false, 0);
       },
       false},
      {"a second clustered index", [](auto& b) {
         return open_kund(b) && b.begin_index("A", false, false, true, 0) && b.add_index_field(F(1, 1), 0, 0) &&
                b.end_index(false) && b.begin_index("B", false, false, true, 0);
       },
       false},
      {"an index name repeated in another case", [](auto& b) {
         return open_kund(b) && b.begin_index("Ix", false, false, false, 0) && b.add_index_field(F(1, 1), 0, 0) &&
                b.end_index(false) && b.begin_index("IX", false, false, false, 0);
       },
       false},
      {"an index without fields",
       [](auto& b) { return open_kund(b) && b.begin_index("A", false, false, false, 0) && b.end_index(false); }, false},
      {"an index field that is not a stored field", [](auto& b) {
         return open_kund(b) && b.add_field(F(1, 3), "C", kInteger, 0, 0, calc_expr) &&
                b.begin_index("A", false, false, false, 0) && b.add_index_field(F(1, 3), false, false);
       },
       false},
      {"a soft reference with an action",
       [](auto& b) { return open_kund(b) && b.begin_reference(true, "X", "PK", action_restrict, action_cascade); },
       false},
      {"a reference field without a reference", [](auto& b) { return open_kund(b) && b.add_reference_field("X"); },
       false},
      {"a reference without fields", [](auto& b) {
         return open_kund(b) && b.begin_reference(false, "X", "PK", 0, 0) && b.end_reference();
       },
       false},
      {"a sort order over another table's field",
       [](auto& b) { return open_kund(b) && b.add_sort_order(1, {F(1, 1), F(2, 1)}, "", ""); }, false},
      {"an autotag with filter 0 and a missing sort order",
       [](auto& b) { return open_kund(b) && b.add_autotag(1, 99, 0, "", ""); }, true},
      {"an autotag with a missing filter", [](auto& b) { return open_kund(b) && b.add_autotag(1, 0, 5, "", ""); },
       false},
      {"an autofetch field of another table", [](auto& b) { return open_kund(b) && b.add_autofetch_field(F(2, 1), 1, 0, 0); },
       false},
  };
  for (const auto& c : cases) {
    datamodel_c model;
    scripted_loader_c loader(model, nullptr);
    EXPECT_EQ(c.script(loader), c.expected) << c.what;
  }
}

TEST(DataModelBuilder, KeyIndexesMakeTheirFieldsNotNullable) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return b.begin_table(1, "T") && b.add_field(F(1, 1), "A", kInteger, 0, 0, 0) &&
           b.add_field(F(1, 2), "B", kInteger, 0, 0, 0) && b.add_field(F(1, 3), "C", kInteger, 0, 0, 0) &&
           b.add_field(F(1, 4), "D", kInteger, 0, 0, 0) && b.add_filter(2, "A = 1", "", "") &&
           // Unique with filter 0: A is a key; B is included and stays nullable.
           b.begin_index("U", false, true, false, 0) && b.add_index_field(F(1, 2), false, true) &&
           b.add_index_field(F(1, 1), true, false) && b.end_index(false) &&
           // Unique restricted by filter 2: C stays nullable.
           b.begin_index("UF", false, true, false, 2) && b.add_index_field(F(1, 3), false, false) &&
           b.end_index(false) && b.end_table();
  }));
  const table_desc_t* t = model.table_by_id(1);
  EXPECT_FALSE(t->field_by_id(F(1, 1))->nullable);
  EXPECT_TRUE(t->field_by_id(F(1, 2))->nullable);
  EXPECT_TRUE(t->field_by_id(F(1, 3))->nullable);
  EXPECT_TRUE(t->primary_key_fields().empty());
  // Key fields come before included ones.
  ASSERT_EQ(t->indexes[0]->fields.size(), 2u);
  EXPECT_EQ(t->indexes[0]->fields[0].field_id, F(1, 1));
  EXPECT_TRUE(t->indexes[0]->fields[0].descending);
  EXPECT_TRUE(t->indexes[0]->fields[1].include);
}

TEST(DataModelBuilder, FiltersSortOrdersAndAutofetchFieldsRedefined) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return open_kund(b) && b.add_field(F(1, 3), "ORT", kVarchar, 30, 0, calc_stored) &&
           b.add_filter(3, "NAMN = 'A'", "Första", "c1") && b.add_filter(3, "", "Andra", "") &&
           b.add_filter(4, "NAMN = 'A'", "x", "") && b.add_filter(4, "ORT = 'B'", "ersatt", "") &&
           b.add_sort_order(1, {F(1, 2)}, "namn", "") && b.add_sort_order(1, {}, "Namn", "c") &&
           b.add_sort_order(2, {F(1, 2)}, "a", "") && b.add_sort_order(2, {F(1, 3)}, "ort", "") &&
           b.add_autofetch_field(F(1, 1), true, 0, 0) && b.add_autofetch_field(F(1, 2), true, 0, 0) &&
           b.add_autofetch_field(F(1, 3), false, 7, 1) && b.end_table();
  }));
  const table_desc_t* t = model.table_by_id(1);
  const table_filter_t* kept = t->filter_by_id(3);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->expression, "NAMN = 'A'");
  EXPECT_EQ(kept->text, "Andra");
  EXPECT_EQ(kept->cond, "c1");
  EXPECT_EQ(t->filter_by_id(4)->expression, "ORT = 'B'");
  EXPECT_EQ(t->filter_by_id(4)->text, "ersatt");
  EXPECT_EQ(t->filter_by_id(9), nullptr);
  EXPECT_EQ(t->sort_orders.at(1).field_ids, std::vector<int>{F(1, 2)});
  EXPECT_EQ(t->sort_orders.at(1).text, "Namn");
  EXPECT_EQ(t->sort_orders.at(2).field_ids, std::vector<int>{F(1, 3)});
  // Positions 0, 0, 1: the third takes position 1 and pushes the second to 2.
  std::vector<std::pair<int, int>> fetched;
  for (const auto& f : t->autofetch_fields) fetched.emplace_back(f.field_id, f.position);
  EXPECT_EQ(fetched, (std::vector<std::pair<int, int>>{{F(1, 1), 0}, {F(1, 3), 1}, {F(1, 2), 2}}));
}

TEST(DataModelBuilder, TableAliases) {
  datamodel_c model;
  bool second_alias_text = false;
  bool lower_after_upper = false;
  bool alias_on_table_id = true;
  ASSERT_TRUE(load(model, [&](datamodel_loader_c& b) {
    if (!(b.begin_table(1, "T") && b.add_field(F(1, 1), "A", kInteger, 0, 0, 0) &&
          b.add_field(F(1, 2), "B", kInteger, 0, 0, 0) && b.add_field(F(1, 3), "C", kInteger, 0, 0, 0) &&
          b.add_field(F(1, 4), "D", kInteger, 0, 0, 0) && b.end_table())) {
      return false;
    }
    // Kund, then KUND: the capitals collide with the earlier entry.
    second_alias_text = b.begin_table_alias("X", 500, "t", 0) && b.add_field_alias("A", "", "Kund", "") &&
                        b.add_field_alias("C", "", "KUND", "");
    b.end_table_alias();
    // KUND, then Kund: both kept, since the look-up is of the text as written.
    lower_after_upper = b.begin_table_alias("Y", 501, "T", 0) && b.add_field_alias("A", "", "KUND", "") &&
                        b.add_field_alias("C", "", "Kund", "") && b.end_table_alias();
    alias_on_table_id = b.begin_table_alias("Z", 1, "T", 0) && b.end_table_alias();
    // An alias ordering B and D: B, A, D, C. A second entry for B moves it to the end.
    return b.begin_table_alias("V", 502, "T", 0) && b.add_field_alias("D", "", "", "") &&
           b.add_field_alias("B", "Bee", "", "") && b.set_field_alias_search(false) &&
           b.add_field_alias("D", "Dee", "", "") && b.end_table_alias();
  }));
  EXPECT_FALSE(second_alias_text);
  EXPECT_TRUE(lower_after_upper);
  EXPECT_FALSE(alias_on_table_id);
  EXPECT_EQ(model.alias_by_id(1), nullptr);

  std::vector<std::string> names;
  for (const field_desc_t* f : model.table_by_id(1)->fields(502)) names.push_back(f ? f->name : "null");
  EXPECT_EQ(names, (std::vector<std::string>{"B", "A", "D", "C"}));
  const table_alias_desc_t* alias = model.alias_by_id(502);
  ASSERT_NE(alias, nullptr);
  EXPECT_EQ(alias->field_aliases.front().search, 2);
  EXPECT_EQ(alias->field_aliases.back().text, "Dee");
  EXPECT_TRUE(model.table_by_id(1)->fields(501).size() == 4u);
  EXPECT_TRUE(model.table_by_id(1)->fields(777).empty());

  for (const auto& [id, table] : std::vector<std::pair<int, int>>{{502, 1}, {1, 1}, {-1, -1}, {9999, 9999}}) {
    EXPECT_EQ(model.alias_table_id(id), table) << id;
  }
}

TEST(DataModelBuilder, ReferencesAndTheirAutomaticIndexes) {
  struct case_t {
    const char* what;
    script_t references;  // run on the open ORDERRAD
    std::vector<std::string> index_names;
  };
  const case_t cases[] = {
      {"a hard reference gets an index with the rest of the primary key included",
       [](auto& b) {
         return b.begin_reference(false, "orderhuvud", "pk_orderhuvud", action_cascade, action_restrict) &&
                b.add_reference_field("RADNR") && b.end_reference();
       },
       {"PK_ORDERRAD", "IX_KOLMADM_ORDERRADRADNR_FK"}},
      {"an index starting with the field suppresses it",
       [](auto& b) {
         return b.begin_reference(false, "ORDERHUVUD", "PK_ORDERHUVUD", 0, 0) && b.add_reference_field("OrderNr") &&
                b.end_reference();
       },
       {"PK_ORDERRAD"}},
      {"a soft reference ends in _SFK",
       [](auto& b) {
         return b.begin_reference(true, "KUND", "PK_KUND", 0, 0) && b.add_reference_field("artnr") &&
                b.end_reference();
       },
       {"PK_ORDERRAD", "IX_KOLMADM_ORDERRADartnr_SFK"}},
  };
  for (const auto& c : cases) {
    datamodel_c model;
    ASSERT_TRUE(load(model, [&](datamodel_loader_c& b) { return orders(b) && c.references(b) && b.end_table(); }))
        << c.what;
    const table_desc_t* rows = model.table_by_id(3);
    std::vector<std::string> names;
    for (const auto& index : rows->indexes) names.push_back(index->name);
    EXPECT_EQ(names, c.index_names) << c.what;
    ASSERT_EQ(model.reference_count(), 1u) << c.what;
    const reference_desc_t* reference = model.reference_by_id(1);
    EXPECT_EQ(model.references_of_table(3), std::vector<const reference_desc_t*>{reference}) << c.what;
    EXPECT_EQ(model.references_of_field(reference->field_ids[0]), std::vector<int>{1}) << c.what;
  }

  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return orders(b) && b.begin_reference(false, "ORDERHUVUD", "PK_ORDERHUVUD", action_cascade, action_set_null) &&
           b.add_reference_field("RADNR") && b.end_reference() && b.end_table();
  }));
  const index_desc_t& automatic = *model.table_by_id(3)->indexes.back();
  EXPECT_TRUE(automatic.automatic);
  ASSERT_EQ(automatic.fields.size(), 2u);
  EXPECT_EQ(automatic.fields[0].field_id, F(3, 2));
  EXPECT_FALSE(automatic.fields[0].include);
  EXPECT_EQ(automatic.fields[1].field_id, F(3, 1));
  EXPECT_TRUE(automatic.fields[1].include);
  const reference_desc_t& reference = *model.reference_by_id(1);
  EXPECT_EQ(reference.referenced_table_id, 2);
  EXPECT_EQ(reference.referenced_field_ids, std::vector<int>{F(2, 1)});
  EXPECT_EQ(reference.index_name, "PK_ORDERHUVUD");
  EXPECT_EQ(reference.delete_action, action_cascade);
  EXPECT_EQ(reference.update_action, action_set_null);
  EXPECT_TRUE(model.references_of_field(-1).empty());
  EXPECT_TRUE(model.references_of_table(1).empty());
}

TEST(DataModelBuilder, AddReferenceRefusesAnIndexThatDoesNotFit) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return orders(b) && b.begin_index("IX_ARTNR", false, false, false, 0) && b.add_index_field(F(3, 3), 0, 0) &&
           b.end_index(false) && b.end_table();
  }));
  const auto& rows = model.table_by_id(3)->indexes;
  const index_desc_t* primary = rows[0].get();
  const index_desc_t* plain = rows[1].get();
  EXPECT_FALSE(model.add_reference(false, 1, 3, {F(1, 1)}, plain, 0, 0)) << "neither primary key nor unique";
  EXPECT_FALSE(model.add_reference(false, 1, 3, {F(1, 1)}, primary, 0, 0)) << "one field for two";
  EXPECT_FALSE(model.add_reference(false, 1, 3, {F(1, 1), F(1, 2)}, nullptr, 0, 0)) << "no index";
  EXPECT_FALSE(model.add_reference(false, 1, 2, {F(1, 1), F(1, 2)}, primary, 0, 0)) << "an index of another table";
  EXPECT_FALSE(model.add_reference(false, 2, 3, {F(1, 1), F(1, 2)}, primary, 0, 0)) << "fields of another table";
  EXPECT_TRUE(model.add_reference(false, 1, 3, {F(1, 1), F(1, 2)}, primary, 0, 0));
}

TEST(DataModelBuilder, SourcesAndJoinPaths) {
  datamodel_c model;
  ASSERT_TRUE(load(model, [](datamodel_loader_c& b) {
    return orders(b) &&
           // An AUTO field whose source is an AUTO field defined later.
           b.add_field(F(3, 4), "KUNDNR2", sql_type_auto, 0, 0, calc_stored) && b.set_expression("ORDERRAD.KUNDNR") &&
           b.add_field(F(3, 5), "KUNDNR", sql_type_auto, 0, 0, calc_stored) && b.set_expression("orderhuvud.kundnr") &&
           b.add_field(F(3, 6), "KUNDNAMN", sql_type_auto, 0, 0, calc_left_join) && b.set_expression("KUND.NAMN") &&
           b.set_join_path_text("ORDERNR, ORDERHUVUD.KUNDNR") &&
           b.add_field(F(3, 7), "BORTA", kVarchar, 9, 0, calc_left_join) && b.set_expression("KUND.NAMN") &&
           b.set_join_path_text("ORDERNR, ORDERHUVUD.OKÄND") && b.end_table();
  }));
  const field_desc_t* copied = model.field_by_id(F(3, 4));
  EXPECT_EQ(copied->sql_type, kVarchar);
  EXPECT_EQ(copied->length, 10);
  EXPECT_TRUE(copied->type_from_source);
  EXPECT_EQ(copied->source_field_id, no_id) << "no join path, so no source field";
  const field_desc_t* name = model.field_by_id(F(3, 6));
  EXPECT_EQ(name->sql_type, kVarchar);
  EXPECT_EQ(name->length, 50);
  EXPECT_EQ(name->join_path, (join_path_t{F(3, 1), F(2, 2)}));
  EXPECT_EQ(name->source_field_id, F(1, 2));
  const field_desc_t* unresolved = model.field_by_id(F(3, 7));
  EXPECT_TRUE(unresolved->join_path.empty());
  EXPECT_EQ(unresolved->source_field_id, no_id);
}

TEST(DataModelBuilder, AFailedLoadEmptiesTheModelAndSaysWhy) {
  struct case_t {
    const char* what;
    script_t script;
    const char* logged;
  };
  const case_t cases[] = {
      {"a reference to an unknown index",
       [](auto& b) {
         return orders(b) && b.begin_reference(false, "ORDERHUVUD", "PK_FINNS_EJ", 0, 0) &&
                b.add_reference_field("ORDERNR") && b.end_reference() && b.end_table();
       },
       "okänt index PK_FINNS_EJ"},
      {"a reference over an unknown field",
       [](auto& b) {
         return orders(b) && b.begin_reference(false, "ORDERHUVUD", "PK_ORDERHUVUD", 0, 0) &&
                b.add_reference_field("SAKNAS") && b.end_reference() && b.end_table();
       },
       "okänt fält SAKNAS"},
      {"a left join without a \".\"",
       [](auto& b) {
         return orders(b) && b.add_field(F(3, 9), "X", kVarchar, 5, 0, calc_left_join) && b.set_expression("NAMN") &&
                b.set_join_path_text("ORDERNR") && b.end_table();
       },
       "saknar \".\""},
      {"an AUTO field that is its own source's source",
       [](auto& b) {
         return orders(b) && b.add_field(F(3, 8), "P", sql_type_auto, 0, 0, 0) && b.set_expression("ORDERRAD.Q") &&
                b.add_field(F(3, 9), "Q", sql_type_auto, 0, 0, 0) && b.set_expression("ORDERRAD.P") && b.end_table();
       },
       "cirkel"},
      {"a table alias on a table's id",
       [](auto& b) { return orders(b) && b.end_table() && b.begin_table_alias("A", 2, "KUND", 0) && b.end_table_alias(); },
       "alias-id 2"},
      {"the source stops half-way", [](auto& b) { return orders(b) && false; }, "Datamodellen kunde inte läsas"},
  };
  for (const auto& c : cases) {
    platform::fake::CapturedLog log;
    datamodel_c model;
    // An alias and a reference registered before the failure go too.
    const bool loaded = load(model, [&](datamodel_loader_c& b) {
      return b.begin_table(9, "ALIASED") && b.add_field(F(9, 1), "A", kInteger, 0, 0, 0) && b.end_table() &&
             b.begin_table_alias("A", 900, "ALIASED", 0) && b.end_table_alias() && c.script(b);
    });
    EXPECT_FALSE(loaded) << c.what;
    EXPECT_EQ(model.table_count(), 0u) << c.what;
    EXPECT_EQ(model.field_by_id(F(9, 1)), nullptr) << c.what;
    EXPECT_EQ(model.alias_by_id(900), nullptr) << c.what;
    EXPECT_EQ(model.reference_count(), 0u) << c.what;
    EXPECT_EQ(model.table_id_by_name("ALIASED"), no_id) << c.what;
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_NE(lines[0].find("Datamodellen kunde inte läsas: "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(c.logged), std::string::npos) << c.what << ": " << lines[0];
  }
}

TEST(DataModelBuilder, UnresolvedModeRegistersNoReferenceYetLoads) {
  datamodel_c model;
  ASSERT_TRUE(load(
      model,
      [](datamodel_loader_c& b) {
        return orders(b) && b.begin_reference(false, "SAKNAS", "PK", 0, 0) && b.add_reference_field("RADNR") &&
               b.end_reference() && b.add_field(F(3, 9), "X", sql_type_auto, 0, 0, 0) && b.set_expression("ingen") &&
               b.end_table();
      },
      true));
  EXPECT_EQ(model.reference_count(), 0u);
  EXPECT_EQ(model.table_by_id(3)->indexes.size(), 1u);
}

TEST(DataModel, MovingAModelKeepsItsTablesPointingAtIt) {
  datamodel_c first;
  ASSERT_TRUE(load(first, [](datamodel_loader_c& b) { return orders(b) && b.end_table(); }));
  datamodel_c second(std::move(first));
  EXPECT_EQ(first.table_count(), 0u);
  ASSERT_EQ(second.table_count(), 3u);
  EXPECT_EQ(second.table_by_id(3)->model, &second);
  EXPECT_EQ(second.table_by_id(3)->field_by_id(F(3, 2))->name, "RADNR");
  EXPECT_EQ(second.table_id_by_name("orderrad"), 3);
}

}  // namespace
}  // namespace lumdb
