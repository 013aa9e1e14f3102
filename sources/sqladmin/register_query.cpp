#include "sources/sqladmin/register_query.h"

#include <algorithm>

#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"

namespace {
constexpr int kEqual = 1;
}  // namespace

bool DistinctKeyWalk::MoveFirst(CAdmDbSql& rows, const lumdb::field_desc_t* key) {
  const bool found = rows.MoveFirst();
  currentKey_ = found ? rows.GetColumnString(key) : std::string();
  return found;
}

bool DistinctKeyWalk::MoveNext(CAdmDbSql& rows, const lumdb::field_desc_t* key) {
  while (rows.MoveNext()) {
    std::string next = rows.GetColumnString(key);
    if (next != currentKey_) {
      currentKey_ = std::move(next);
      return true;
    }
  }
  return false;
}

std::string RegisterNote(CAdmDbSql& rows, const lumdb::field_desc_t* key,
                         const std::array<const lumdb::field_desc_t*, 4>& lines, const lumdb::field_desc_t* noteText,
                         const lumdb::join_path_t& notePath) {
  if (rows.connectionError()) return {};
  std::string note;
  if (lines[0] != nullptr) {
    for (const lumdb::field_desc_t* line : lines) note += rows.GetColumnString(line);
  } else if (noteText != nullptr) {
    for (const std::string& text : rows.ColumnTextsOfKey(key, noteText, &notePath))
      note += (note.empty() ? "" : " ") + text;
  }
  return note;
}

std::string TermsOfPaymentCode(const CAdmDbSql& rows, const lumdb::field_desc_t* paymentCode,
                               const lumdb::join_path_t& termsPath, const lumdb::field_desc_t* ownTerms) {
  std::string code = rows.GetColumnString(paymentCode, &termsPath);
  const bool cloudCode = !code.empty() && code.size() <= 3 &&
                         std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
  return cloudCode ? code : rows.GetColumnString(ownTerms);
}

void SqlRegisterDb::OpenRegister(const lumdb::datamodel_c& model, const SqlTableColumns& table,
                                 std::span<const lumdb::field_desc_t*> own, const Keys& keys, const char* numberColumn,
                                 const char* noteTable) {
  const lumdb::datamodel_scope scope = ModelScope();
  keys_ = keys;
  if (keys_.noteLines[0] == nullptr) keys_.noteLines = {};
  const SqlTableColumns terms(model, "BETVILLK");
  const lumdb::field_desc_t* termsCode = terms.Column("BETVILLK");
  const SqlTableColumns contacts(model, "KONTAKT");
  const lumdb::field_desc_t* contactSign = contacts.Column("SIGN");
  const lumdb::field_desc_t* contactNumber = contacts.Column(numberColumn);
  const SqlTableColumns notes(model, noteTable);
  const lumdb::field_desc_t* noteNumber = notes.Column(numberColumn);
  if (connectionError() || keys.number == nullptr) return;

  // A join whose key columns are missing is left out, and so are its columns.
  const bool termsJoin = keys.terms != nullptr && termsCode != nullptr;
  const bool contactJoin = keys.referenceSign != nullptr && contactSign != nullptr && contactNumber != nullptr;
  const bool noteJoin = noteNumber != nullptr;
  if (termsJoin) {
    termsName_ = terms.Column("TEXT");
    termsPaymentCode_ = terms.Column("BETKOD");
  }
  if (contactJoin) {
    contactEmail_ = contacts.Column("EPOST");
    contactMobile_ = contacts.Column("MBTEL");
    contactPhone_ = contacts.Column("TEL");
  }
  if (noteJoin) noteText_ = notes.Column("TXT");

  lumdb::query_c query(session());
  std::vector<lumdb::colexpr_c> columns;
  for (const lumdb::field_desc_t* field : own)
    if (field != nullptr) columns.emplace_back(field->id);
  const lumdb::field_desc_t* inactive = table.Column("INAKTIV");
  const lumdb::filter_node_t active =
      inactive != nullptr ? lumdb::filter_node_t(lumdb::colexpr_c(inactive->id), kEqual, false) : lumdb::filter_node_t();
  query.setup_select(table.table->id, columns, &active);
  query.set_order_by(lumdb::colexpr_c(keys.number->id));
  auto addColumns = [&query](lumdb::join_path_t& path, int from,
                             std::initializer_list<const lumdb::field_desc_t*> fields) {
    path = {from};
    for (const lumdb::field_desc_t* field : fields)
      if (field != nullptr) query.add_column(field->id, path);
  };
  if (termsJoin) addColumns(termsPath_, keys.terms->id, {termsCode, termsName_, termsPaymentCode_});
  if (contactJoin)
    addColumns(contactPath_, keys.number->id, {contactSign, contactNumber, contactEmail_, contactMobile_, contactPhone_});
  if (noteJoin) addColumns(notePath_, keys.number->id, {noteNumber, noteText_});
  // A register row has one joined row per note and contact: sorted by note, the
  // rows of a number hold its notes in runs, and the first row the first contact
  // of a fixed order, whatever the server's plan.
  const bool notesFromTable = noteJoin && noteText_ != nullptr && keys_.noteLines[0] == nullptr;
  if (notesFromTable) query.add_order_by(lumdb::colexpr_c(noteText_->id, notePath_, lumdb::ck_column));
  if (contactJoin) {
    for (const lumdb::field_desc_t* field : {contactEmail_, contactMobile_, contactPhone_})
      if (field != nullptr) query.add_order_by(lumdb::colexpr_c(field->id, contactPath_, lumdb::ck_column));
  }

  NameRowsBy(keys.number);
  auto open = [&](auto recordset) {
    int joinId = 0;
    if (termsJoin) (void)recordset->add_join(terms.table->id, {keys.terms->id}, {termsCode->id}, nullptr, &joinId);
    if (contactJoin)
      (void)recordset->add_join(contacts.table->id, {keys.number->id, keys.referenceSign->id},
                                {contactNumber->id, contactSign->id}, nullptr, &joinId);
    if (noteJoin) (void)recordset->add_join(notes.table->id, {keys.number->id}, {noteNumber->id}, nullptr, &joinId);
    OpenRecordset(std::move(recordset));
  };
  // The note of the note table's rows is read ahead and the walk goes back to the
  // register's row (ColumnTextsOfKey): that needs a scrollable recordset. Else the
  // walk only moves on, over the further rows of a number, forward.
  if (notesFromTable) {
    open(CreateScrollRecordset(session()->connection(), query));
  } else {
    open(std::make_unique<lumdb::dbrecordset_fwd_c>(session()->connection(), query));
  }
  if (inactive != nullptr) RefuseRowsWithUnreadableFlag(*table.table, inactive, keys.number, keys.name, false);
}

