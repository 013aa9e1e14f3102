#pragma once
// What the register readers of an SQL company (articles, customers, suppliers)
// share: finding their tables and columns in the data model, walking their rows
// once per record, and the rules for notes and terms-of-payment codes.
#include <array>
#include <span>
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
// two rows in a row; the query sorts the row to be read first (ORDER BY the key,
// then the preference) and the others are passed over, so no record is sent twice.
class DistinctKeyWalk {
 public:
  bool MoveFirst(CAdmDbSql& rows, const lumdb::field_desc_t* key);
  bool MoveNext(CAdmDbSql& rows, const lumdb::field_desc_t* key);

 private:
  std::string currentKey_;
};

// The register's note: its four note lines run together when the data model has
// them, else the texts of the note table's rows of the register number (through
// `notePath`), in the query's order and parted by a blank.
std::string RegisterNote(CAdmDbSql& rows, const lumdb::field_desc_t* key,
                         const std::array<const lumdb::field_desc_t*, 4>& lines, const lumdb::field_desc_t* noteText,
                         const lumdb::join_path_t& notePath);

// The cloud's terms-of-payment code: the payment code of the terms when it is one
// to three digits, else the register's own terms code.
std::string TermsOfPaymentCode(const CAdmDbSql& rows, const lumdb::field_desc_t* paymentCode,
                               const lumdb::join_path_t& termsPath, const lumdb::field_desc_t* ownTerms);

// The part customers and suppliers share: their register with terms of payment,
// contact person (the KONTAKT row of the register number and reference
// signature) and, where the data model keeps notes apart, the note, as left joins.
class SqlRegisterDb : public CAdmDbSql {
 public:
  // The register's own columns the joins and rules need.
  struct Keys {
    const lumdb::field_desc_t* number = nullptr;
    const lumdb::field_desc_t* referenceSign = nullptr;
    const lumdb::field_desc_t* terms = nullptr;
    std::array<const lumdb::field_desc_t*, 4> noteLines{};  // all null when the model has no note lines
    const lumdb::field_desc_t* name = nullptr;
  };

  explicit SqlRegisterDb(std::string companyFolder) : CAdmDbSql(std::move(companyFolder)) {}

  std::string ContactEmail() const { return GetColumnString(contactEmail_, &contactPath_); }
  std::string ContactMobile() const { return GetColumnStringNoSpace(contactMobile_, &contactPath_); }
  std::string ContactPhone() const { return GetColumnStringNoSpace(contactPhone_, &contactPath_); }
  std::string TermsName() const { return GetColumnString(termsName_, &termsPath_); }
  std::string Note() { return RegisterNote(*this, keys_.number, keys_.noteLines, noteText_, notePath_); }
  std::string TermsCode() const { return TermsOfPaymentCode(*this, termsPaymentCode_, termsPath_, keys_.terms); }

 protected:
  // Selects the active rows of `table` with `own` columns (nulls left out) by
  // number, joined as above; `numberColumn` names the register number in
  // KONTAKT and in the note table.
  void OpenRegister(const lumdb::datamodel_c& model, const SqlTableColumns& table, std::span<const lumdb::field_desc_t*> own,
                    const Keys& keys, const char* numberColumn, const char* noteTable);

 private:
  Keys keys_;
  const lumdb::field_desc_t* termsName_ = nullptr;
  const lumdb::field_desc_t* termsPaymentCode_ = nullptr;
  const lumdb::field_desc_t* contactEmail_ = nullptr;
  const lumdb::field_desc_t* contactMobile_ = nullptr;
  const lumdb::field_desc_t* contactPhone_ = nullptr;
  const lumdb::field_desc_t* noteText_ = nullptr;
  lumdb::join_path_t termsPath_;
  lumdb::join_path_t contactPath_;
  lumdb::join_path_t notePath_;
};

