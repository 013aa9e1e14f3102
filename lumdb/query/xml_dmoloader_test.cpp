// The XML loader over files written by the tests, and over the data model
// the project ships for its SQL sample company.
#include "lumdb/query/xml_dmoloader.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fake/captured_log.h"
#include "platform/fake/scoped_environment.h"
#include "platform/text.h"
#include "tools/samplecompany/sample_datamodel.h"

namespace lumdb {
namespace {

constexpr int F(int table, int number) { return make_field_id(table, number); }

// A small model that uses every element the loader knows.
const std::string kTestModel = R"(<?xml version="1.0" encoding="UTF-8"?>
<datamodel>
  <table id="1" name="KUND" text="Kundregister för Åsa Öberg\v" target="dbo" alias="Kunder" cond="c"
         extendable="true" backup_action="NEVER">
    <field id="1" name="KUNDNR" type="SQL_VARCHAR" len="10" text="Kundnummer" alias="Nr" uihint="10"/>
    <field id="2" name="NAMN" type="SQL_WVARCHAR" len="50" text="Namn\vpå två rader" null="TRUE" default=""
           wid="30" search="false"/>
    <field id="3" name="STATUS" type="SQL_SMALLINT" uihint="4" noseparator="true"/>
    <field_values show_value="true"/>
    <field_value base_value="1" value="Aktiv"/>
    <field_value base_value="0" value="Vilande" cond="gammal"/>
    <field id="4" name="SUMMA" type="SQL_NUMERIC" len="15" dec="2" soft="true" expr="0"/>
    <field id="5" name="APPVÄRDE" soft="true"/>
    <field id="6" name="ÄNDRAD" type="SQL_TIMESTAMP" autots="true"/>
    <index name="PK_KUND" primary_key="true" clustered="true">
      <index_field name="KUNDNR"/>
      <index_field name="FINNS_EJ"/>
    </index>
    <filter id="3" text="Aktiva\vkunder" cond="k">
       STATUS = 1
    </filter>
    <sort_order id="1" text="Namn">
      <sort_field name="NAMN"/>
      <sort_field name="kundnr"/>
    </sort_order>
    <autotag id="1" text="Aktiva" filter="3" sort_order="1" alias="akt"/>
    <autofetch>
      <autofetch_field field="NAMN"/>
      <autofetch_field field="KUNDNR" position="1" width="12" default="false"/>
      <autofetch_field field="summa"/>
    </autofetch>
    <Table id="99" name="IGNORERAD"/>
  </table>
  <table id="2" name="ORDERRAD" conflict="Field">
    <field id="1" name="ORDERNR" type="SQL_INTEGER"/>
    <field id="7" name="KUNDNR" type="AUTO" expr="kund.kundnr"/>
    <field id="8" name="KUNDNAMN" soft="true" calc="LEFT_JOIN" expr="KUND.NAMN" joinpath="KUNDNR" type="AUTO"
           conflict_group="4"/>
    <index name="PK_ORDERRAD" primary_key="true">
      <index_field name="ORDERNR"/>
    </index>
    <reference table="Kund" index="pk_kund" type="hard" delete="cascade" update="setnull">
      <reference_field name="KUNDNR"/>
    </reference>
    <viewdef>
      SELECT 1
    </viewdef>
  </table>
  <table_alias id="500" name="STORA_KUNDER" table="kund" filter="3" inherit_search="false">
    <field_alias field="NAMN" text="Kundens\vnamn" alias="N" search="true"/>
    <field_alias field="KUNDNR" search="PARENT"/>
  </table_alias>
</datamodel>
)";

class XmlLoader : public ::testing::Test {
 protected:
  bool Load(std::string_view document, std::string_view file = "kolmadm.xml") {
    path_ = tree_.Write(file, document).string();
    return xml_dmoloader_c(path_, model_, false).load();
  }

  platform::fake::TempTree tree_;
  std::string path_;
  datamodel_c model_;
};

TEST_F(XmlLoader, ReadsEveryElementOfASmallModel) {
  platform::fake::CapturedLog log;
  ASSERT_TRUE(Load(kTestModel));
  ASSERT_EQ(model_.table_ids(), (std::vector<int>{1, 2}));

  const table_desc_t& kund = *model_.table_by_id(1);
  EXPECT_EQ(kund.text, "Kundregister för Åsa Öberg\\v") << "a table's text keeps its \\v";
  EXPECT_EQ(kund.target, "dbo");
  EXPECT_EQ(kund.alias, "Kunder");
  EXPECT_TRUE(kund.extendable);
  EXPECT_EQ(kund.backup_action, backup_never);
  EXPECT_EQ(kund.conflict_mode, 0);

  const field_desc_t& nr = *kund.field_by_id(F(1, 1));
  EXPECT_EQ(nr.ui_hint, -1) << "a hint equal to the length";
  EXPECT_TRUE(nr.search && nr.search_given) << "a stored field with text and alias is searchable";
  EXPECT_FALSE(nr.nullable) << "a primary-key field";
  const field_desc_t& name = *kund.field_by_id(F(1, 2));
  EXPECT_EQ(name.text, "Namn\x0Bpå två rader");
  EXPECT_FALSE(name.nullable) << "\"TRUE\" is not \"true\"";
  ASSERT_NE(name.default_text(), nullptr);
  EXPECT_EQ(*name.default_text(), "");
  EXPECT_EQ(name.width, 30);
  EXPECT_TRUE(name.search_given);
  EXPECT_FALSE(name.search);
  const field_desc_t& status = *kund.field_by_id(F(1, 3));
  EXPECT_EQ(status.ui_hint, 4);
  EXPECT_EQ(status.format_flags, format_given | format_noseparator | format_show_value);
  using pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(status.values(nullptr), (pairs{{"Vilande", "0"}, {"Aktiv", "1"}}));
  EXPECT_EQ(kund.field_by_id(F(1, 4))->calc_kind, calc_expr) << "soft with expr and no calc";
  EXPECT_EQ(kund.field_by_id(F(1, 5))->calc_kind, calc_app) << "soft with neither";
  EXPECT_EQ(kund.field_id_by_name("appvärde"), F(1, 5));
  EXPECT_EQ(kund.auto_timestamp_field_ids, std::vector<int>{F(1, 6)});

  // The index keeps the field it knows; the unknown one is left out and logged.
  ASSERT_EQ(kund.indexes.size(), 1u);
  EXPECT_EQ(kund.indexes[0]->fields.size(), 1u);
  EXPECT_TRUE(kund.indexes[0]->clustered);
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find("FINNS_EJ"), std::string::npos) << log.Lines()[0];

  const table_filter_t& filter = *kund.filter_by_id(3);
  EXPECT_EQ(filter.expression, "STATUS = 1");
  EXPECT_EQ(filter.text, "Aktiva\x0Bkunder");
  EXPECT_EQ(filter.cond, "k");
  EXPECT_EQ(kund.sort_orders.at(1).field_ids, (std::vector<int>{F(1, 2), F(1, 1)}));
  ASSERT_EQ(kund.autotags.size(), 1u);
  EXPECT_EQ(kund.autotags[0].filter_id, 3);
  EXPECT_EQ(kund.autotags[0].alias, "akt");
  std::vector<std::pair<int, int>> fetched;
  for (const auto& f : kund.autofetch_fields) fetched.emplace_back(f.field_id, f.position);
  EXPECT_EQ(fetched, (std::vector<std::pair<int, int>>{{F(1, 2), 0}, {F(1, 1), 1}, {F(1, 4), 2}}))
      << "NAMN took the next place 0, KUNDNR place 1, SUMMA the next place 2";
  EXPECT_FALSE(kund.autofetch_fields[1].is_default);
  EXPECT_EQ(kund.autofetch_fields[1].width, 12);

  const table_desc_t& rows = *model_.table_by_id(2);
  EXPECT_EQ(rows.conflict_mode, 1);
  EXPECT_EQ(rows.field_by_id(F(2, 1))->conflict_group, -1) << "per-field conflicts: minus the field number";
  const field_desc_t& copied = *rows.field_by_id(F(2, 7));
  EXPECT_EQ(copied.sql_type, 12);
  EXPECT_EQ(copied.length, 10);
  EXPECT_EQ(copied.conflict_group, -7);
  const field_desc_t& joined = *rows.field_by_id(F(2, 8));
  EXPECT_EQ(joined.calc_kind, calc_left_join);
  EXPECT_EQ(joined.sql_type, -9);
  EXPECT_EQ(joined.join_path, join_path_t{F(2, 7)});
  EXPECT_EQ(joined.source_field_id, F(1, 2));
  EXPECT_EQ(joined.conflict_group, 4);
  EXPECT_EQ(rows.view_definition, "SELECT 1");
  ASSERT_EQ(rows.indexes.size(), 2u);
  EXPECT_EQ(rows.indexes[1]->name, "IX_KOLMADM_ORDERRADKUNDNR_FK");
  const reference_desc_t& reference = *model_.reference_by_id(1);
  EXPECT_EQ(reference.delete_action, action_cascade);
  EXPECT_EQ(reference.update_action, action_set_null);
  EXPECT_EQ(model_.table_id_by_name("IGNORERAD"), no_id);

  const table_alias_desc_t& alias = *model_.alias_by_id(500);
  EXPECT_EQ(alias.table_id, 1);
  EXPECT_EQ(alias.filter_id, 3);
  EXPECT_FALSE(alias.inherit_search);
  ASSERT_EQ(alias.field_aliases.size(), 2u);
  EXPECT_EQ(alias.field_aliases.front().text, "Kundens\x0Bnamn");
  EXPECT_EQ(alias.field_aliases.front().search, 1);
  EXPECT_EQ(alias.field_aliases.back().search, 0);
}

TEST_F(XmlLoader, HonoursTheDeclaredEncoding) {
  std::string document = kTestModel;
  document.replace(document.find("UTF-8"), 5, "windows-1252");
  ASSERT_TRUE(Load(platform::EncodeFromUtf8(document, platform::CodePage::Windows1252)));
  EXPECT_EQ(model_.table_by_id(1)->text, "Kundregister för Åsa Öberg\\v");
  EXPECT_EQ(model_.table_by_id(1)->field_id_by_name("ÄNDRAD"), F(1, 6));
}

// The names every SQL reader looks up in the shipped model.
TEST_F(XmlLoader, TheShippedModelLoadsWhole) {
  platform::fake::CapturedLog log;
  ASSERT_TRUE(Load(samplecompany::SampleDataModelXml()));
  EXPECT_TRUE(log.Lines().empty());
  const std::vector<std::pair<const char*, std::vector<const char*>>> read = {
      {"PRM", {"ORGNR", "NAMN", "POSTADR", "POSTNR", "ORT", "TEL", "EPOST", "WWW", "MOMSREGNR", "BGIRO", "PGIRO",
               "SATE", "EANLOC", "EJ_FSKATT", "H_SKVHUS", "PRG_TYPE", "SWIFT_ADR", "IBAN_NR", "KL_FKRECID", "AKI_OCR"}},
      {"PRM2", {"MVSREDPER"}},
      {"NEWNUM", {"ID", "NR"}},
      {"ART", {"ARTNR", "BENAEMN", "ENHKOD", "KONTKOD", "ILAGER", "H_TYPID", "INAKTIV"}},
      {"PRIS", {"ARTNR", "PRIS", "PRISL", "GRUND"}},
      {"PRISL", {"PRISL", "BENAEMN", "INKLMOMS", "VALUTAKOD"}},
      {"ARTKNT", {"BENAEMN"}},
      {"ENHKOD", {"TEXT"}},
      {"ARTBEN", {"ARTNR", "SPRAAKKOD", "BENAEMN"}},
      {"KUND", {"KUNDNR", "ORGNR", "REF", "ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4", "REF_SIGN", "VALUTAKOD",
                "EANLOC", "EPOST", "POSTADR", "POSTADR2", "ORT", "LANDKOD", "POSTNR", "LEVNAMN", "LEVADR", "LEVADR2",
                "LEVORT", "LEVLANDKOD", "LEVPOSTNR", "LEVSAETT", "LEVVILLK", "NAMN", "BYGGTJANST", "MBTEL", "TEL",
                "BETVILLK", "MOMSREGNR", "EREDIREF", "INAKTIV"}},
      {"BETVILLK", {"BETVILLK", "TEXT", "BETKOD"}},
      {"KONTAKT", {"SIGN", "KUNDNR", "LEVNR", "EPOST", "MBTEL", "TEL"}},
      {"KUNDNOTE", {"KUNDNR", "TXT"}},
      {"LEV", {"LEVNR", "ORGNR", "REF", "ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4", "REF_SIGN", "UTLBETALN",
               "VALUTAKOD", "EPOST", "POSTADR", "POSTADR2", "ORT", "LANDSKOD", "POSTNR", "NAMN", "MBTEL", "TEL",
               "BETVILLK", "AUTOGIRO", "BGIRO", "PGIRO", "WWW", "BG_AVGKOD", "RIKSBKOD", "OCRLEV", "SWIFTADR",
               "BANKKOD", "MBANKNAMN", "INAKTIV"}},
      {"LEVNOTE", {"LEVNR", "TXT"}},
      {"LEVVILLK", {"LEVVILLK", "TEXT"}},
      {"LEVSAETT", {"LEVSAETT", "TEXT"}},
      {"OOF", {"DOKTYP", "DOKNR", "KOPPL_DOK3", "UTSK", "MAKUL", "DATUM1", "DATUM2", "FKTTYP", "KUNDNR", "NAMN",
               "POSTADR", "POSTADR2", "POSTNR", "ORT", "VALUTAKOD", "VALUTAKURS", "VALUTAENH", "TOTALT", "SALDO",
               "MOMSBEL1", "MOMSBEL2", "MOMSBEL3", "MOMSBEL4", "KNTKUNDF", "OCRNR", "LANDKOD"}},
      {"LEVFKT", {"LOEPNR", "FKT_TYP", "FKT_NR", "LEVNR", "NAMN", "OCR", "FDATUM", "FFDATUM", "MOMSBEL", "VALUTAKOD",
                  "VKURS", "VENHET", "KNTLEVF", "TOTAL", "SALDO", "JOURN_NR", "MAKUL"}},
      {"BOKFAAR", {"AAR_ID", "BOERJAN", "SLUT", "KPTYP"}},
      {"KONTO", {"AAR_ID", "KONTO"}},
  };
  for (const auto& [table_name, columns] : read) {
    const table_desc_t* table = model_.table_by_id(model_.table_id_by_name(table_name));
    ASSERT_NE(table, nullptr) << table_name;
    for (const char* column : columns) {
      const field_desc_t* field = table->field_by_id(table->field_id_by_name(column));
      ASSERT_NE(field, nullptr) << table_name << "." << column;
      EXPECT_EQ(field->calc_kind, calc_stored) << table_name << "." << column;
      EXPECT_NE(field->sql_type, sql_type_auto) << table_name << "." << column;
    }
  }
  // The joins the article reader takes from the model's references.
  for (const auto& [from, to] : std::vector<std::pair<const char*, const char*>>{
           {"PRIS.PRISL", "PRISL"}, {"ART.KONTKOD", "ARTKNT"}, {"ART.ENHKOD", "ENHKOD"}}) {
    const std::string text(from);
    const int table = model_.table_id_by_name(text.substr(0, text.find('.')));
    const join_path_t path = model_.resolve_join_path(table, text.substr(text.find('.') + 1));
    ASSERT_EQ(path.size(), 1u) << from;
    const auto references = model_.references_of_field(path[0]);
    ASSERT_EQ(references.size(), 1u) << from;
    EXPECT_EQ(model_.reference_by_id(references[0])->referenced_table_id, model_.table_id_by_name(to)) << from;
  }
  EXPECT_NE(model_.table_by_id(model_.table_id_by_name("LEVFKT"))->text.find("Leverantörsfakturor"),
            std::string::npos);
}

// A document with one table T (id 1) and one field A; each case puts its
// fault into the table's attributes, the field's attributes or the body.
std::string document(std::string_view table_attributes, std::string_view field_attributes, std::string_view body) {
  return "<m><table id=\"1\" name=\"T\" " + std::string(table_attributes) + "><field id=\"1\" name=\"A\" " +
         std::string(field_attributes) + "/>" + std::string(body) + "</table></m>";
}

TEST_F(XmlLoader, ABadDocumentLeavesNoTableAndALogLine) {
  struct bad_t {
    const char* what;
    std::string text;
  };
  const std::string good_first = R"(<table id="7" name="FÖRE"><field id="1" name="X" type="SQL_INTEGER"/></table>)";
  const bad_t cases[] = {
      {"malformed XML", "<m><table id=\"1\" name=\"T\"><field id=\"1\" name=\"A\"></table></m>"},
      {"an empty file", ""},
      {"no root element", "<?xml version=\"1.0\"?>"},
      {"a table without id", "<m><table name=\"T\"><field id=\"1\" name=\"A\"/></table></m>"},
      {"a table id that is no number", document("", "", "").replace(14, 1, "1x")},
      {"a table id with blanks", document("", "", "").replace(14, 1, " 1")},
      {"a table id of 0", document("", "", "").replace(14, 1, "0")},
      {"a table id of 40000", document("", "", "").replace(14, 1, "40000")},
      {"a table id past int", document("", "", "").replace(14, 1, "99999999999")},
      {"a field without id", "<m><table id=\"1\" name=\"T\"><field name=\"A\"/></table></m>"},
      {"a field number of 70000", "<m><table id=\"1\" name=\"T\"><field id=\"70000\" name=\"A\"/></table></m>"},
      {"a field number of -1", "<m><table id=\"1\" name=\"T\"><field id=\"-1\" name=\"A\"/></table></m>"},
      {"a field outside a table", "<m><field id=\"1\" name=\"A\"/></m>"},
      {"a conflict of neither record nor field", document("conflict=\"both\"", "", "")},
      {"a len that is no number", document("", "len=\"+-4\"", "")},
      {"a uihint that is no number", document("", "uihint=\"x\"", "")},
      {"a dec of 300", document("", "type=\"SQL_NUMERIC\" len=\"10\" dec=\"300\"", "")},
      {"a dec of -1", document("", "type=\"SQL_NUMERIC\" len=\"10\" dec=\"-1\"", "")},
      {"a conflict_group of 0", document("", "conflict_group=\"0\"", "")},
      {"autots on an integer", document("", "type=\"SQL_INTEGER\" autots=\"true\"", "")},
      {"a stored integer with expr", document("", "type=\"SQL_INTEGER\" expr=\"T.A\"", "")},
      {"a left join without joinpath", document("", "soft=\"true\" calc=\"left_join\" expr=\"T.A\"", "")},
      {"an expr field with joinpath", document("", "soft=\"true\" calc=\"expr\" expr=\"1\" joinpath=\"A\"", "")},
      {"a calculated field reusing a stored field's id", document("", "", "<field id=\"1\" name=\"B\" soft=\"true\"/>")},
      {"a reference type \"Soft\"",
       document("", "", "<reference table=\"T\" index=\"PK\" type=\"Soft\"><reference_field name=\"A\"/></reference>")},
      {"a soft reference with an update action",
       document("", "",
                "<reference table=\"T\" index=\"PK\" type=\"soft\" update=\"cascade\">"
                "<reference_field name=\"A\"/></reference>")},
      {"an action in capitals",
       document("", "", "<reference table=\"T\" index=\"PK\" delete=\"CASCADE\"><reference_field name=\"A\"/></reference>")},
      {"a reference to an unknown index",
       document("", "", "<reference table=\"T\" index=\"PK\"><reference_field name=\"A\"/></reference>")},
      {"a filter without id", document("", "", "<filter>A = 1</filter>")},
      {"a sort order over an unknown field", document("", "", "<sort_order id=\"1\"><sort_field name=\"X\"/></sort_order>")},
      {"an autotag without sort_order", document("", "", "<autotag id=\"1\"/>")},
      {"an autofetch_field outside autofetch", document("", "", "<autofetch_field field=\"A\"/>")},
      {"an autofetch_field of an unknown field", document("", "", "<autofetch><autofetch_field field=\"X\"/></autofetch>")},
      {"a field_values base that is unknown", document("", "", "<field_values base=\"X\"/>")},
      {"an alias of an unknown table", "<m><table_alias id=\"9\" table=\"X\"/></m>"},
      {"an alias on a table id", "<m>" + good_first + "<table_alias id=\"7\" table=\"FÖRE\"/></m>"},
      {"a second table of one name",
       "<m>" + good_first + R"(<table id="8" name="före"><field id="1" name="X" type="SQL_INTEGER"/></table></m>)"},
  };
  for (const auto& c : cases) {
    platform::fake::CapturedLog log;
    datamodel_c model;
    std::string text = c.text;
    // Every case but the empty ones has a good table before its fault.
    if (text.rfind("<m>", 0) == 0 && text.find("FÖRE") == std::string::npos) text.insert(3, good_first);
    const auto path = tree_.Write("bad.xml", text).string();
    EXPECT_FALSE(xml_dmoloader_c(path, model, false).load()) << c.what;
    EXPECT_EQ(model.table_count(), 0u) << c.what;
    EXPECT_EQ(model.field_by_id(F(7, 1)), nullptr) << c.what;
    EXPECT_EQ(model.alias_by_id(9), nullptr) << c.what;
    const auto lines = log.Lines();
    ASSERT_FALSE(lines.empty()) << c.what;
    EXPECT_NE(lines.back().find("Datamodellen kunde inte läsas: " + path), std::string::npos)
        << c.what << ": " << lines.back();
  }

  platform::fake::CapturedLog log;
  datamodel_c model;
  const std::string missing = (tree_ / "saknas" / "kolmadm.xml").string();
  EXPECT_FALSE(xml_dmoloader_c(missing, model, false).load());
  ASSERT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find(missing), std::string::npos) << log.Lines()[0];
}

TEST_F(XmlLoader, ReadsNothingOutsideTheDocument) {
  const auto secret = tree_.Write("hemligt.txt", "HEMLIGT");
  const std::string entity = "<!DOCTYPE m [<!ENTITY x SYSTEM \"file://" + secret.string() + "\">]>";
  // An external entity is not fetched: the table either fails or loads without its text.
  const bool loaded = Load(entity + "<m><table id=\"1\" name=\"T\" text=\"&x;\"><field id=\"1\" name=\"A\"/></table></m>");
  if (loaded) EXPECT_EQ(model_.table_by_id(1)->text.find("HEMLIGT"), std::string::npos);

  // Nested entities that would expand into billions of characters are refused.
  std::string laughs = "<!DOCTYPE m [<!ENTITY a0 \"hahahahahahahahahaha\">";
  for (int i = 1; i < 10; ++i) {
    laughs += "<!ENTITY a" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) laughs += "&a" + std::to_string(i - 1) + ";";
    laughs += "\">";
  }
  laughs += "]><m><table id=\"1\" name=\"T\" text=\"&a9;\"><field id=\"1\" name=\"A\"/></table></m>";
  platform::fake::CapturedLog log;
  EXPECT_FALSE(Load(laughs));
  EXPECT_EQ(model_.table_count(), 0u);
}

// A small file whose one large entity is used over and over would expand to
// hundreds of megabytes: it is refused as malformed. Entities of a sane size load.
TEST_F(XmlLoader, EntitiesThatExpandToMegabytesAreRefused) {
  auto document = [](std::size_t entityLength, int uses) {
    std::string text = "<!DOCTYPE m [<!ENTITY big \"" + std::string(entityLength, 'x') + "\">]><m>";
    text += "<table id=\"1\" name=\"T\" text=\"&big;\"><field id=\"1\" name=\"A\"/>";
    for (int i = 0; i < uses; ++i) text += "<filter id=\"" + std::to_string(i + 1) + "\">&big;&big;</filter>";
    return text + "</table></m>";
  };
  platform::fake::CapturedLog log;
  const std::string large = document(70000, 200);  // about 70 KB on disk, 28 million characters expanded
  ASSERT_LT(large.size(), 80000u);
  EXPECT_FALSE(Load(large));
  EXPECT_EQ(model_.table_count(), 0u);
  ASSERT_FALSE(log.Lines().empty());
  EXPECT_NE(log.Lines().back().find("felaktig XML"), std::string::npos) << log.Lines().back();

  EXPECT_TRUE(Load(document(10, 3))) << log.Lines().back();
  EXPECT_EQ(model_.table_by_id(1)->text, std::string(10, 'x'));
}

TEST_F(XmlLoader, ADocumentSetInMemoryIsParsedInsteadOfTheFile) {
  xml_dmoloader_c loader((tree_ / "saknas.xml").string(), model_, false);
  loader.set_document(kTestModel);
  EXPECT_TRUE(loader.load());
  EXPECT_EQ(model_.table_count(), 2u);
}

}  // namespace
}  // namespace lumdb
