#pragma once
// Opening the database of an SQL company, and the base of its readers: the
// session, the reader's scrollable recordset, record navigation and column text.
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/reader_interfaces/report_row.h"
#include "lumdb/query/recordset.h"
#include "lumdb/record/session.h"
#include "sources/sqladmin/data_source.h"

namespace lumdb {
struct filter_node_t;
class query_c;
class sqldb_c;
struct field_desc_t;
}  // namespace lumdb

// A lock another program holds on a company database, as the first statement
// that met it said it; shared by the sessions of that database while one of
// them (or a reader keeping it) lives. Once it is known, later connections to
// the database are refused at once with those words and later statements are
// not tried: a prepare waits on the lock once (the SQLite registration waits
// two seconds each time), not once per reader and look-up.
struct DatabaseLock {
  std::string words;  // empty while no statement met a lock
};

// A session on the database of one company, read through the data model of the
// company's own desktop program (by its display variant), whatever other
// programs' companies the run reads. Its statements are built and run inside
// ModelScope(), where expressions and filters take that model too.
class CompanySession : public lumdb::session_c {
 public:
  lumdb::datamodel_c* datamodel() const override { return model_; }
  lumdb::datamodel_scope ModelScope() const { return lumdb::datamodel_scope(model_); }
  // Why OpenCompanySession did not even try to connect; empty when it tried.
  const std::string& refusal() const { return refusal_; }
  // Why `error` of the open or of a statement came: the refusal, else the
  // driver's words, else the error's number. A lock met is remembered.
  std::string FailureWords(std::error_code error);
  // The words of a lock a statement on this database met; empty when none did.
  std::string LockMet() const { return lock_ ? lock_->words : std::string(); }
  // For a reader that outlives its session: the lock stays known while it lives.
  std::shared_ptr<const DatabaseLock> LockMemory() const { return lock_; }

 private:
  friend std::error_code OpenCompanySession(DataSourceInfo& info, CompanySession& session);
  lumdb::datamodel_c* model_ = nullptr;  // the desktop program's, lives as long as the process
  std::string refusal_;
  std::shared_ptr<DatabaseLock> lock_;
};

// Takes the data model of the company's desktop program, sets the login values
// ("KOLMON": the desktop user as <database>_<user> and the desktop password)
// into `info`, and opens the session. An empty user logs in trusted. A server,
// database or user name that could end its attribute of the connection string
// or add another (";", "{", "}", a control character) is refused with a log
// line naming its key, before any connection is tried: the SQLite driver splits
// the string at ";" whatever braces stand around a value. A database found
// locked before (DatabaseLock) is refused too, with the lock's words.
std::error_code OpenCompanySession(DataSourceInfo& info, CompanySession& session);

// Text of a read value, as the readers hand it on.
std::string NarrowText(const std::wstring& text);


// What a value that does not read as its column's type is, for a row: the
// column (table and name) and the text it holds.
std::string UnreadableValueText(const lumdb::datamodel_c& model, const lumdb::unreadable_value_t& value);

// Runs the query forward-only; throws lumdb::db_error when it cannot be opened.
lumdb::dbrecordset_fwd_c OpenForwardRecordset(lumdb::sqldb_c* connection, const lumdb::query_c& query);
// Stands the recordset on its first row. Throws lumdb::db_error when the row
// cannot be fetched, and std::runtime_error ("tabellen har ingen rad") when there
// is none: a table of the company's settings without its row has no value to give.
// A value of the row that does not read as its column's type throws as ThrowOnUnreadableValue.
void FetchFirstRow(lumdb::dbrecordset_fwd_c& recordset);
// Throws std::runtime_error naming the first value of the current row that does
// not read as its column's type: a setting is never sent as another value.
void ThrowOnUnreadableValue(const lumdb::dbrecordset_fwd_c& recordset);
// The field of the first row; throw as OpenForwardRecordset and FetchFirstRow.
int QueryFirstInt(lumdb::sqldb_c* connection, const lumdb::query_c& query, int fieldId);
std::wstring QueryFirstWString(lumdb::sqldb_c* connection, int fieldId, const lumdb::query_c& query);
// A scrollable recordset over a copy of the query, not opened.
std::unique_ptr<lumdb::dbrecordset_scroll_c> CreateScrollRecordset(lumdb::sqldb_c* connection,
                                                                    const lumdb::query_c& query);

// The connection part of every SQL reader. A company without data source has no
// session; one that cannot be reached has a non-zero connection error. Either
// way the reader reads as empty.
//
// A reader whose walk only moves on reads through a forward-only recordset: the
// driver hands its rows over as the query steps to them (SQLite's loads a whole
// scrollable result into memory when the statement runs, SQL Server's key-set
// cursor costs a round trip per row). A scrollable one is kept for a reader that
// moves back (ColumnTextsOfKey).
class CAdmDbSql {
 public:
  explicit CAdmDbSql(std::string companyFolder);
  virtual ~CAdmDbSql();
  CAdmDbSql(const CAdmDbSql&) = delete;
  CAdmDbSql& operator=(const CAdmDbSql&) = delete;

  // A walk: MoveFirst, then MoveNext until it answers false. Its end, whether
  // after the last row or on a failed move, releases the statement.
  bool MoveFirst();
  bool MoveNext();
  // The rows of the recordset. A reader on a row stands on it again afterwards
  // (a forward-only one reads on to its end and runs its statement again to
  // reach it). A reader on no row (before its walk, after it or closed) is
  // released afterwards: a walk then starts with MoveFirst.
  int GetRecordCount();
  // Gives the statement back, so the reader holds no lock, cursor or unread
  // rows on the company's database (another program may write to it); the walk
  // ends. A later MoveFirst runs the statement again.
  void ReleaseStatement();
  std::string GetColumnString(const lumdb::field_desc_t* field, const lumdb::join_path_t* path = nullptr) const;
  std::string GetColumnStringNoSpace(const lumdb::field_desc_t* field, const lumdb::join_path_t* path = nullptr) const;
  std::string GetColumnStringNoDash(const lumdb::field_desc_t* field) const;
  // The column as a flag: false when NULL, unread or not a flag or number.
  bool GetColumnBool(const lumdb::field_desc_t* field, const lumdb::join_path_t* path = nullptr) const;
  // The texts of `column` in the rows from the current one on that have its text
  // of `key`, a run of equal texts once and empty ones left out; the recordset
  // stands on the current row again afterwards. Only a scrollable recordset can
  // go back to it: a forward-only one gives none.
  std::vector<std::string> ColumnTextsOfKey(const lumdb::field_desc_t* key, const lumdb::field_desc_t* column,
                                            const lumdb::join_path_t* path);

  CompanySession* session() const { return session_.get(); }
  // Where the reader builds and runs its statements: in its company's own data model.
  lumdb::datamodel_scope ModelScope() const { return lumdb::datamodel_scope(session_ ? session_->datamodel() : nullptr); }
  const std::error_code& connectionError() const { return connectionError_; }
  const std::error_code& lastMoveError() const { return lastMoveError_; }
  // What left rows unread: the company's data model that did not load, its
  // database that could not be opened, a table the database would not give, a
  // walk that ended on a failed move rather than after the last row (named by
  // its column and key), or values met that did not read as their column's type.
  // Empty when nothing did (a company without a data source reads nothing either).
  std::string UnreadText() const;
  // The error row of UnreadText, so a table read short is never reported as whole.
  void AddUnreadRowsRow(std::vector<ReportRow>& rows) const;
  // A row for each value of the current row that does not read as its column's
  // type, about the record `key` and `name`: an Error row, and false (the record
  // is refused), for a value that decides what is sent; a Warning row for one of
  // the columns `notSent`, which the record is read with but does not send.
  bool CheckValues(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                   std::initializer_list<const lumdb::field_desc_t*> notSent = {}) const;
  const std::string& companyFolder() const { return companyFolder_; }
  // The statement the reader runs, "?" for its parameters; empty without a recordset.
  std::string StatementText() const;

 protected:
  // Makes `recordset` the reader's own (one held before is destroyed), opens it and
  // keeps the result as the connection error.
  void OpenRecordset(std::unique_ptr<lumdb::dbrecordset_fwd_c> recordset);
  void OpenRecordset(std::unique_ptr<lumdb::dbrecordset_scroll_c> recordset);
  // The column whose value names a row that cannot be fetched (the register or invoice number).
  void NameRowsBy(const lumdb::field_desc_t* key) { recordKey_ = key; }
  // Finds, by a query of its own, the rows of `table` (those `also` lets through)
  // whose flag column holds what is no flag, a text SQLite lets it hold: a filter
  // on the flag neither keeps nor leaves them out as the company means. With
  // `walked` the reader's walk comes upon their records (the flag only picks a
  // joined row) and CheckValues refuses them by `key`; otherwise the reader's
  // filter leaves them out and AddUnreadRowsRow refuses them, named by `key` and `name`.
  void RefuseRowsWithUnreadableFlag(const lumdb::table_desc_t& table, const lumdb::field_desc_t* flag,
                                    const lumdb::field_desc_t* key, const lumdb::field_desc_t* name, bool walked,
                                    const lumdb::filter_node_t* also = nullptr);

 private:
  void Open(std::unique_ptr<lumdb::dbrecordset_base_c> recordset);
  const lumdb::data_reader_i& Rows() const;
  std::int64_t CurrentRow() const;
  bool Moved(std::error_code result);
  // What a failed fetch names: the column and the row it stood on.
  std::string FetchFailurePlace() const;
  std::string TableName() const;  // the recordset's main table
  // "TABLE.COLUMN" of a filter term's column.
  std::string ColumnName(const lumdb::filter_node_t& term) const;
  // The driver's message for a failure of this table, also written to the log.
  std::string FailureText(std::string_view what, std::error_code error);

 private:
  std::unique_ptr<CompanySession> session_;
  std::error_code connectionError_;
  std::unique_ptr<lumdb::dbrecordset_base_c> recordset_;
  // The same recordset as it is read: one of the two, the other null.
  lumdb::dbrecordset_fwd_c* forward_ = nullptr;
  lumdb::dbrecordset_scroll_c* scrollable_ = nullptr;
  std::error_code lastMoveError_;
  std::string unconnectedReason_;  // empty unless the database could not be opened
  std::string unopenedReason_;    // empty unless the recordset could not be opened
  std::string unreadRowsReason_;  // empty while every move succeeded or ended after the last row
  bool released_ = false;         // the recordset's result was given back
  // The values met in the walk that did not read as their column's type, and their columns.
  int unreadableValues_ = 0;
  std::vector<std::string> unreadableColumns_;
  std::string lastCountedKey_;  // of the last row whose values were counted
  const lumdb::field_desc_t* recordKey_ = nullptr;
  struct FlaggedRow {
    std::string key, name, column, text;
    bool walked = false;
  };
  std::vector<FlaggedRow> flaggedRows_;
  std::string companyFolder_;
};
