#include "lumdb/record/dbobj.h"

#include <gtest/gtest.h>

#include <clocale>
#include <iomanip>
#include <sstream>

#include "lumdb/query/datamodel.h"
#include "lumdb/record/dbf_table.h"
#include "lumdb/record/errors.h"
#include "lumdb/record/program_locale.h"
#include "lumdb/record/shared_constants.h"
#include "platform/fake/scoped_environment.h"

namespace lumdb {
namespace {

TEST(DbObj, DataModelComesFromTheRootOrTheProcessDefault) {
  dbobj_c root;
  dbobj_c child(&root);
  dbobj_c grandchild(&child);
  EXPECT_EQ(grandchild.parent(), &child);
  EXPECT_EQ(root.datamodel(), nullptr);
  EXPECT_EQ(grandchild.session(), nullptr);

  datamodel_c first, second;
  ASSERT_TRUE(set_default_datamodel(&first));
  EXPECT_FALSE(set_default_datamodel(&second));
  EXPECT_EQ(grandchild.datamodel(), &first);
  EXPECT_TRUE(set_default_datamodel(nullptr));
  EXPECT_EQ(grandchild.datamodel(), nullptr);
  EXPECT_TRUE(set_default_datamodel(&second));
  EXPECT_EQ(root.datamodel(), &second);
  EXPECT_TRUE(second.references_of_table(7).empty());

  // A scope's model comes before the default, the innermost first.
  datamodel_c scoped, inner;
  {
    const datamodel_scope outer(&scoped);
    EXPECT_EQ(root.datamodel(), &scoped);
    {
      const datamodel_scope nested(&inner);
      EXPECT_EQ(grandchild.datamodel(), &inner);
    }
    EXPECT_EQ(grandchild.datamodel(), &scoped);
  }
  EXPECT_EQ(root.datamodel(), &second);
  set_default_datamodel(nullptr);
}

TEST(Errors, CategoriesAreNamedPerClassAndCarryNoTexts) {
  const std::error_code ec = make_error<dbf_table_c>(no_data);
  EXPECT_EQ(ec.value(), 114);
  EXPECT_STREQ(ec.category().name(), "class lumdb::dbf_table_c");
  EXPECT_EQ(&ec.category(), &err_cat<dbf_table_c>());
  EXPECT_NE(&err_cat<dbf_table_c>(), &err_cat<dbobj_c>());
  EXPECT_EQ(ec.message(), "");
  EXPECT_EQ(load_error_message(0), "");
  EXPECT_FALSE(success);
  EXPECT_EQ(&success.category(), &std::generic_category());

  try {
    throw db_error(make_error<dbobj_c>(connection_lost));
  } catch (const db_error& e) {
    EXPECT_EQ(e.code().value(), 123);
    EXPECT_EQ(&e.code().category(), &err_cat<dbobj_c>());
    EXPECT_STREQ(e.what(), "");
  }
}

// The only test that sets the program locale up: it happens once per process.
TEST(ProgramLocale, OddLangFallsBackAndNumbersStayClassic) {
  platform::fake::ScopedEnv lang("LANG", "xx_NOWHERE.bogus");
  platform::fake::ScopedEnv all("LC_ALL", "sv_SE.UTF-8@odd");
  EXPECT_EQ(program_locale(), nullptr);
  init_program_locale();
  const std::locale* first = program_locale();
  ASSERT_NE(first, nullptr);
  init_program_locale();
  EXPECT_EQ(program_locale(), first);

  std::ostringstream out;
  out << std::fixed << std::setprecision(2) << 1234567.25 << ' ' << 1234567;
  EXPECT_EQ(out.str(), "1234567.25 1234567");
  EXPECT_STREQ(std::localeconv()->decimal_point, ".");

  // Narrow text is UTF-8 to the locale's conversion, whatever LANG says.
  const auto& convert = std::use_facet<std::codecvt<wchar_t, char, std::mbstate_t>>(*first);
  const std::string utf8 = "Åsa Öberg";
  std::wstring wide(utf8.size(), L'\0');
  std::mbstate_t state{};
  const char* from_next;
  wchar_t* to_next;
  ASSERT_EQ(convert.in(state, utf8.data(), utf8.data() + utf8.size(), from_next, wide.data(),
                       wide.data() + wide.size(), to_next),
            std::codecvt_base::ok);
  wide.resize(static_cast<std::size_t>(to_next - wide.data()));
  EXPECT_EQ(wide, L"Åsa Öberg");
}

TEST(SharedConstants, OperatorTextsAndReservedFieldIds) {
  const std::map<int, std::string> expected = {
      {1, "="}, {2, "<"}, {3, ">"}, {4, "<="}, {5, ">="}, {6, "<>"}, {7, "LIKE"}, {8, "IN"},
  };
  EXPECT_EQ(sql_operator_text, expected);  // code 0, the empty filter, has no operator

  // Table part 0: no data-model field can carry these ids.
  EXPECT_EQ(exists_field_id, 32765);
  EXPECT_EQ(key_field_id, 32766);
  EXPECT_EQ(binary8_field_id, 32767);
}

}  // namespace
}  // namespace lumdb
