#include "sources/sqladmin/delivery_readers.h"

#include "lumdb/query/datamodel.h"
#include "lumdb/query/query.h"

template <typename Interface>
CodeAndTextReader<Interface>::CodeAndTextReader(std::string companyFolder, const char* table)
    : CAdmDbSql(std::move(companyFolder)) {
  const lumdb::datamodel_scope scope = ModelScope();
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const lumdb::table_desc_t* desc = model->table_by_id(model->table_id_by_name(table));
  if (desc == nullptr) return;
  code_ = model->field_by_id(desc->field_id_by_name(table));
  text_ = model->field_by_id(desc->field_id_by_name("TEXT"));
  // Both columns are needed: without one the table is not read at all.
  if (code_ == nullptr || text_ == nullptr || connectionError()) return;
  lumdb::query_c query(session());
  query.setup_select(desc->id, {lumdb::colexpr_c(code_->id), lumdb::colexpr_c(text_->id)}, nullptr);
  query.set_order_by(lumdb::colexpr_c(code_->id));
  NameRowsBy(code_);
  // Walked forward; a second walk runs the statement again.
  OpenRecordset(std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query));
}

template class CodeAndTextReader<I_QZ_DeliveryTerms>;
template class CodeAndTextReader<I_QZ_DeliveryMethods>;
