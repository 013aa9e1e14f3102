#pragma once
// A table of the company's data model and its columns by name; a table or
// column the model lacks is null, and the reader leaves out what needs it.
#include <string_view>

#include "lumdb/query/datamodel.h"

struct SqlTableColumns {
  SqlTableColumns(const lumdb::datamodel_c& model, std::string_view name)
      : model(model), table(model.table_by_id(model.table_id_by_name(name))) {}
  const lumdb::field_desc_t* Column(std::string_view name) const {
    return table ? model.field_by_id(table->field_id_by_name(name)) : nullptr;
  }

  const lumdb::datamodel_c& model;
  const lumdb::table_desc_t* table;
};
