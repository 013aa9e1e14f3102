#include "lumdb/query/datamodel.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"
#include "sources/sqladmin/company_connection.h"
#include "app/desktop/desktop_programs.h"
#include "lumdb/record/dbobj.h"
#include "lumdb/record/errors.h"
#include "sources/sqladmin/data_source.h"

namespace {

const lumdb::field_desc_t* ColumnOf(const lumdb::datamodel_c& model, const lumdb::table_desc_t* table,
                                    const char* column) {
  return table == nullptr ? nullptr : model.field_by_id(table->field_id_by_name(column));
}

// The column of the first row of PRM; the connection is made only when the model
// knows it. Why a column the model knows could not be read goes to `failure`, and
// so does a model that did not load.
std::string ReadCompanyParameter(DataSourceInfo& dataSource, const char* column, std::string* failure) {
  CompanySession session;
  const lumdb::datamodel_c* model = GetDataModelByProductCode(dataSource.displayVariant);
  if (const std::string unloaded = DataModelFailure(*model); !unloaded.empty()) {
    if (failure) *failure = "företagets datamodell saknas: " + unloaded;
    return {};
  }
  const lumdb::table_desc_t* prm = model->table_by_id(model->table_id_by_name("PRM"));
  const lumdb::field_desc_t* field = ColumnOf(*model, prm, column);
  if (field == nullptr) return {};
  if (const std::error_code refused = OpenCompanySession(dataSource, session)) {
    if (failure) *failure = session.FailureWords(refused);
    return {};
  }
  const lumdb::datamodel_scope scope = session.ModelScope();
  try {
    lumdb::query_c query(&session);
    query.setup_select(prm->id, {lumdb::colexpr_c(field->id)}, nullptr);
    return NarrowText(QueryFirstWString(session.connection(), field->id, query));
  } catch (const lumdb::db_error& error) {
    if (failure) *failure = session.FailureWords(error.code());
  } catch (const std::exception& error) {
    if (failure) *failure = error.what();
  }
  return {};
}

}  // namespace

std::string ReadCompanyOrgNr(DataSourceInfo& dataSource, std::string* failure) {
  return ReadCompanyParameter(dataSource, "ORGNR", failure);
}

std::string ReadCompanyCloudLinkId(DataSourceInfo& dataSource, std::string* failure) {
  return ReadCompanyParameter(dataSource, "KL_FKRECID", failure);
}

void FillPriceListCombo(std::vector<std::string>& codes, std::vector<std::string>& lines,
                        const std::string& companyFolder) {
  DataSourceInfo dataSource;
  if (!ReadDataSourceIni(dataSource, companyFolder)) return;
  CompanySession session;
  const lumdb::datamodel_c* model = GetDataModelByProductCode(dataSource.displayVariant);
  const lumdb::table_desc_t* table = model->table_by_id(model->table_id_by_name("PRISL"));
  const lumdb::field_desc_t* code = ColumnOf(*model, table, "PRISL");
  const lumdb::field_desc_t* name = ColumnOf(*model, table, "BENAEMN");
  const lumdb::field_desc_t* inclVat = ColumnOf(*model, table, "INKLMOMS");
  const lumdb::field_desc_t* currency = ColumnOf(*model, table, "VALUTAKOD");
  if (!code || !name || !inclVat || !currency || OpenCompanySession(dataSource, session)) return;
  const lumdb::datamodel_scope scope = session.ModelScope();
  try {
    lumdb::query_c query(&session);
    const lumdb::filter_node_t inSek(lumdb::colexpr_c(currency->id), lumdb::fo_equal, std::string("SEK"));
    query.setup_select(table->id, {lumdb::colexpr_c(code->id), lumdb::colexpr_c(name->id), lumdb::colexpr_c(inclVat->id)},
                       &inSek);
    query.set_order_by(lumdb::colexpr_c(code->id));
    lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(session.connection(), query);
    while (!rows.fetch()) {
      codes.push_back(NarrowText(rows.get_wstring(code->id)));
      lines.push_back(codes.back() + " - " + NarrowText(rows.get_wstring(name->id)) + " (" +
                      (rows.get_bool(inclVat->id) ? "Inkl moms" : "Exkl moms") + ")");
    }
  } catch (const std::exception&) {
    // the price lists already listed stay
  }
}
