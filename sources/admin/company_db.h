#pragma once
// The base of every table of a DBF company of the Administration line: one
// DBF file inside the company folder, opened on construction. A missing or
// unreadable file is logged and reads as an empty table; it never throws.
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/reader_interfaces/report_row.h"
#include "lumdb/record/dbf_table.h"

class CAdminCompanyDb {
 public:
  // An empty folder gives an empty table without opening or logging anything.
  CAdminCompanyDb(std::string folder, std::string fileName);
  virtual ~CAdminCompanyDb();
  CAdminCompanyDb(const CAdminCompanyDb&) = delete;
  CAdminCompanyDb& operator=(const CAdminCompanyDb&) = delete;

  const std::string& Folder() const { return folder_; }  // as given
  const std::string& FileName() const { return fileName_; }
  bool HasRecords() const { return hasRecords_; }

  // Makes the first live record current; false when there is none. A damaged
  // record (neither live nor deleted) is passed over and makes the table damaged.
  bool MoveFirstRecord();
  // Makes the next live record current; false at the end or on a read error.
  bool MoveNextRecord();
  // Reads on past the current record to the next live one (at least one step).
  bool SkipDeleted();
  // The records in the file, deleted ones included; 0 without a file.
  int RecordCount() const;
  // Closes the file; the table then reads as empty.
  void CloseTable();
  // Whether anything (a file, a folder) lies at the table's path; false for an empty folder.
  bool Exists() const { return exists_; }
  // Whether the file exists but cannot be read whole (AddDamageRows then gives its row).
  bool IsDamaged() const { return exists_ && !table_->losses().empty(); }
  // What of the file cannot be read, "; " between; empty when it reads whole.
  std::string Losses() const;
  // One "Error" row, about the whole kind, when the file exists but cannot be read
  // whole: it names the file and everything of it that could not be read, and
  // ends with `cost` when one is given (what a side table's loss takes from the
  // register that joins it, such as "priser saknas"). None for a missing file (a
  // company without such records has none) nor for a table read whole. Then the
  // rows of the side tables read with this one.
  void AddDamageRows(std::vector<ReportRow>& rows, std::string_view cost = {}) const;
  // For a table that every company has: an "Error" row when its file is missing
  // (what it holds was lost, which `cost` says as above), then AddDamageRows.
  void AddRequiredTableRows(std::vector<ReportRow>& rows, std::string_view cost = {}) const;
  // For a table that holds the company's settings in its one record (PRM.DBF,
  // PRM2.DBF): AddRequiredTableRows, and an "Error" row when the file is read
  // whole but holds no record.
  void AddSettingsTableRows(std::vector<ReportRow>& rows, std::string_view cost = {}) const;

  // The text of a column of the current record in UTF-8: trailing blanks cut,
  // leading blanks too unless the column is of type C. "" without records or
  // for a column the file lacks (-1).
  std::string GetField(int column) const;
  // GetField without any blank, tab, line feed or carriage return.
  std::string GetFieldNoBlanks(int column) const;
  // GetFieldNoBlanks without any '-' either.
  std::string GetFieldDigits(int column) const;

  // Checked readings of a column of the current record, whatever the field's
  // type: std::nullopt for a value that does not read as what is asked (a
  // damaged value, which must never go out as another). A blank value, or a
  // column the file lacks, reads as dBASE reads a blank: 0, no date, not set.
  // A number: digits with a sign and a point, blanks around.
  std::optional<double> NumberValue(int column) const;
  // NumberValue when it is whole and fits in 32 bits.
  std::optional<int> WholeNumberValue(int column) const;
  // A real date stored YYYYMMDD, written YYYY-MM-DD; "" for blank.
  std::optional<std::string> DateValue(int column) const;
  // A logical value (ReadLogical of logical_field.h).
  std::optional<bool> LogicalValue(int column) const;

  // What a value of a record must read as; a key is a whole number that is not blank.
  enum class ValueForm { Number, WholeNumber, Key, Date, Logical };
  struct CheckedColumn {
    const char* name;
    int column;
    ValueForm form;
  };
  // The first of `columns` whose value in the current record does not read as
  // its form; std::nullopt when all of them read.
  std::optional<CheckedColumn> FirstUnreadValue(std::initializer_list<CheckedColumn> columns) const;
  // The text of a row about that value: it names the field, the file and the
  // value as stored, then what that costs when `cost` is given.
  std::string UnreadValueText(const CheckedColumn& unread, std::string_view cost = {}) const;
  // For values that decide whether and what the record sends: when one of
  // `columns` does not read, an "Error" row that refuses the record (named by
  // `key` and `name`) names it, and the answer is true.
  bool RefuseUnread(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                    std::initializer_list<CheckedColumn> columns) const;
  // For values the record can go without: a "Warning" row for each of
  // `columns` that does not read; the record goes without that value.
  void WarnUnread(std::vector<ReportRow>& rows, const std::string& key, const std::string& name,
                  std::initializer_list<CheckedColumn> columns) const;

 protected:
  // The position of a column; -1 when the file lacks it or the table has no records.
  int Column(std::string_view name) const;

  // The rows of the side tables a reader read with this table, each side table's
  // AddDamageRows with what its loss costs: a side table is read while its reader
  // is built and gone by the time the rows are asked for.
  std::vector<ReportRow> sideTableRows_;

 private:
  // The bytes of a column of the current record as stored (see GetField); empty
  // without records or for a column the file lacks.
  std::string_view StoredValue(int column) const;
  // Remembers a record that cannot be read, so that the walk it ends is not taken for the whole table.
  void LoseRecord();
  // Whether the current record is neither deleted nor damaged.
  bool IsLive();
  // Logs the current record when it is the first damaged one.
  void LogDamagedRecord();

  std::string folder_;
  std::string fileName_;
  std::string path_;
  bool exists_ = false;
  bool hasRecords_ = false;
  bool damageLogged_ = false;
  std::unique_ptr<lumdb::dbf_table_c> table_;
};

// The text as a number the way the C run time reads one: decimal with "." as
// the point, or hexadecimal after "0x"; leading white space skipped; the
// longest number at the start taken. 0.0 when the text holds no number there,
// or one out of range (also one too small for a normal double). Never throws.
double ToDouble(std::string_view text);
// The text as a decimal integer (leading white space and a sign accepted; the
// longest number at the start taken). 0 when it holds none there, or one that
// does not fit in 32 bits. Never throws.
int ToInt(std::string_view text);
