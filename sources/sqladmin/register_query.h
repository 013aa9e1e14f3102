#pragma once
// What the register readers of an SQL company (articles, customers, suppliers)
// share: finding their tables and columns in the data model, walking their rows
// once per record, and the rules for notes and terms-of-payment codes.
#include <string>
#include <string_view>

#include "lumdb/query/datamodel.h"
#include "lumdb/query/join_path.h"
#include "sources/sqladmin/company_connection.h"

// A table of the company's data model and its columns by name; a table or
// column the model lacks is null, and the reader leaves out what needs it.
struct SqlTableColumns {
  SqlTableColumns(const lumdb::datamodel_c& model, std::string_view name)
      : model(model), table(model.table_by_id(model.table_id_by_name(name))) {}
  const lumdb::field_desc_t* Column(std::string_view name) const {
    return table ? model.field_by_id(table->field_id_by_name(name)) : nullptr;
  }

  const lumdb::datamodel_c& model;
  const lumdb::table_desc_t* table;
};

// Walks a register's rows by key. A left join that matches twice (two prices,
// two contacts, a name without language beside the English one) gives one record
// two rows in a row; the second is passed over so no record is sent twice.
class DistinctKeyWalk {
 public:
  bool MoveFirst(CAdmDbSql& rows, const lumdb::field_desc_t* key);
  bool MoveNext(CAdmDbSql& rows, const lumdb::field_desc_t* key);

 private:
  std::string currentKey_;
};

// The register's note: its four note lines run together when the data model has
// them, else the note table's text through `notePath`.
std::string RegisterNote(const CAdmDbSql& rows, const lumdb::field_desc_t* const (&lines)[4],
                         const lumdb::field_desc_t* noteText, const lumdb::join_path_t& notePath);

// The cloud's terms-of-payment code: the payment code of the terms when it is one
// to three digits, else the register's own terms code.
std::string TermsOfPaymentCode(const CAdmDbSql& rows, const lumdb::field_desc_t* paymentCode,
                               const lumdb::join_path_t& termsPath, const lumdb::field_desc_t* ownTerms);
