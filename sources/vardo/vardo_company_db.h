#pragma once
// One table of a Vardo company, read through the Vardo database API: the base
// of every Vardo reader. The API keeps one open database per process: each
// table object opens it when constructed and closes it when destroyed, so a
// table object whose database was closed under it opens it again at its next
// MoveFirst. Field reads go by name through a process-wide cache of field
// handles, emptied whenever the database may have been closed. A value that
// does not read as its field's type reads blank and is kept as damaged, for
// the reader to refuse its record or warn of it (DamagedAmong).
//
// What the database reports about the table during a walk (missing, damaged,
// locked, a record it cannot read) is kept, never taken for the end of the
// table, and told as one report row about the whole kind (AddDamageRows).
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/reader_interfaces/report_row.h"
#include "sources/vardo/vardo_api.h"

// A value of the current record that does not read as its field's type (a
// number field holding letters, say): the field and the value as stored.
struct VardoDamagedValue {
  std::string field;
  std::string value;
  friend bool operator==(const VardoDamagedValue&, const VardoDamagedValue&) = default;
};

// A field a reader reads record after record: its handle is looked up by name
// once while the database stays open, not at every read, and the value read
// is kept until a table moves, so that the getters that each need it read it once.
class VardoField {
 public:
  VardoField(int tableId, const char* name) : tableId_(tableId), name_(name) {}

 private:
  friend class CVardoCompanyDb;
  int tableId_;
  const char* name_;
  int handle_ = 0;
  unsigned opening_ = 0;  // the opening of the database the handle belongs to; 0 for none
  // The value last read: its kind ('s' text, 'l' integer, 'd' date, 'f' floating, 'b' bool; 0 none) and position stamp.
  char kept_ = 0;
  unsigned keptAt_ = 0;
  std::string text_;
  double number_ = 0.0;
};

class CVardoCompanyDb {
 public:
  CVardoCompanyDb(std::string companyFolder, std::string tableFile);
  virtual ~CVardoCompanyDb();
  CVardoCompanyDb(const CVardoCompanyDb&) = delete;
  CVardoCompanyDb& operator=(const CVardoCompanyDb&) = delete;

  // Opens again; true when the folder is empty or the database opened.
  bool Reopen(std::string companyFolder, std::string tableFile);
  // First record of the table, opening the database again when it was closed.
  // A record that cannot be read is passed over (and kept as lost).
  bool MoveFirst();
  // Next record; false at the end and on a failure that ends the walk (never re-opens).
  bool MoveNext();

  // Whether the database could open and the last walk read the table whole.
  bool IsReadWhole() const { return openFailure_.empty() && damage_.empty() && unreadableRecords_ == 0; }
  // The row that says what of the table could not be read, once, unless
  // `rows` already holds it; and the rows of the look-up tables kept with
  // KeepDamageOf. Nothing for a table read whole.
  void AddDamageRows(std::vector<ReportRow>& rows) const;
  // For a table that holds the company's settings in its one record (CLIENT.DBF):
  // AddDamageRows, and an "Error" row when the last walk found the table whole
  // but without a record, whose values would go out made up.
  void AddSettingsTableRows(std::vector<ReportRow>& rows) const;
  // Keeps what a look-up table this reader read could not read, to be told with
  // its own, with what that costs this reader's kind ("enheter saknas"; empty
  // when nothing more than the look-up's own kind loses). Costs of one table
  // read more than once stand in its one row.
  void KeepDamageOf(const CVardoCompanyDb& lookup, std::string_view cost = {});

  // Values of the current record that did not read as their field's type,
  // among the fields read on it so far.
  const std::vector<VardoDamagedValue>& DamagedValues();
  // Reads `fields` on the current record and gives those whose value does not
  // read as its type; empty when every one reads.
  std::vector<VardoDamagedValue> DamagedAmong(std::initializer_list<VardoField*> fields);
  // A row about the current record's damaged values: "Error" for a record
  // refused, "Warning" for one sent without them.
  ReportRow DamagedValuesRow(std::string key, std::string name, const std::vector<VardoDamagedValue>& values,
                             bool refused) const;
  // Counts the current record as one the walk cannot read (a look-up record
  // whose key does not read, a settings value): told in the table's row.
  void CountAsUnreadable(const std::string& what);

  // Values of the current record. Unusable table or empty name: "", 0, 0,
  // 0.0, false. A field the table lacks gives "" (and is logged at each read);
  // a value that does not read as its type gives the same (and is kept as damaged).
  std::string GetString(int tableId, std::string fieldName);
  int GetLong(int tableId, std::string fieldName);
  int GetDate(int tableId, std::string fieldName);  // the API's date value
  double GetDouble(int tableId, std::string fieldName);
  bool GetBool(int tableId, std::string fieldName);
  // The same reads of a field whose handle the reader keeps.
  std::string GetString(VardoField& field);
  int GetLong(VardoField& field);
  int GetDate(VardoField& field);
  double GetDouble(VardoField& field);
  bool GetBool(VardoField& field);

  int TableId() const { return tableId_; }
  void SetTableId(int tableId) { tableId_ = tableId; }
  const std::string& CompanyFolder() const { return companyFolder_; }
  const std::string& TableFile() const { return tableFile_; }
  // Last open result: 0 or -5 usable; anything else unusable.
  int OpenStatus() const { return openStatus_; }
  bool IsUsable() const;

 private:
  // Opens `folder`; `checkCurrentPath` distinguishes construction from Reopen.
  void Open(const std::string& folder, const std::string& failurePath, bool checkCurrentPath);
  // Keeps (and logs) what the database reported during a move of this table.
  void Note(const VardoDatabaseError& error);
  // What the last walk could not read of the table; empty when it read it whole.
  std::string Lost() const;
  // The field's handle, looked up when the database was opened again since.
  static int Handle(VardoField& field);
  // Whether the field keeps a value of this kind read on the current record.
  static bool Kept(const VardoField& field, char kind);
  static void Keep(VardoField& field, char kind);
  // A number of the field on the current record, read with `read` once.
  template <class Read>
  double KeptNumber(VardoField& field, char kind, Read read);
  // `read()`, or the blank value when the value does not read as its field's type (kept as damaged).
  template <class Value, class Read>
  Value Checked(const char* fieldName, Read read);
  std::vector<VardoDamagedValue>& DamageOfCurrentRecord();
  // Ends a walk: what it could not read is logged once for the whole walk.
  void EndWalk();

  int tableId_ = -1;
  std::string companyFolder_;
  std::string tableFile_;
  int openStatus_ = 0;
  std::string openFailure_;  // why the database could not be opened, as a row's text
  std::string damage_;       // what the last walk could not read of the table as a whole
  int unreadableRecords_ = 0;
  std::string firstUnreadable_;
  bool walkFoundNone_ = false;  // the last MoveFirst found no record in a table it could use
  std::vector<VardoDamagedValue> damagedValues_;  // of the record at damagedAt_
  unsigned damagedAt_ = 0;                        // the position stamp of that record
  // What the look-up tables could not read, by table id: the words, and the costs to this kind.
  struct LookupDamage {
    int tableId = -1;
    std::string lost;
    std::vector<std::string> costs;
  };
  std::vector<LookupDamage> lookupDamage_;
  std::vector<std::string> lookupOpenFailures_;  // why the database did not open for a look-up
};

// "Filen <table's file> kan inte läsas helt: <what the database found>[; <cost>.]",
// the words of every line for a table that cannot be read whole.
std::string VardoDamageText(int tableId, const std::string& what, std::string_view cost = {});

// "fältet X har ett värde som inte kan läsas ("v")", for each value, joined by "; ".
std::string VardoDamagedValuesText(const std::vector<VardoDamagedValue>& values);

// The handle of a field, from the process-wide cache or the API (0: no such
// field). The cache holds the handles of one opening of the database.
int GetFieldHandle(int tableId, const char* fieldName);

// Tables that add nothing but their file and id.
class CVardoPrm : public CVardoCompanyDb {
 public:
  explicit CVardoPrm(std::string companyFolder);
};

class CVardoClientsettingsDb : public CVardoCompanyDb {
 public:
  explicit CVardoClientsettingsDb(std::string companyFolder);
};

namespace Vardo {

class CBookingYearDb : public CVardoCompanyDb {
 public:
  explicit CBookingYearDb(std::string companyFolder);
};

class CKontoDb : public CVardoCompanyDb {
 public:
  explicit CKontoDb(std::string companyFolder);
};

}  // namespace Vardo

// Text and path helpers shared by the Vardo readers.

// Two decimals, "." as decimal point, no grouping: 1234.5 gives "1234.50".
std::string FormatAmount(double value);
std::string FormatInteger(int value);

// Splits "123 45 Storby" into "12345" and "Storby". Every digit of the text
// belongs to the postal code; no split (result false, postal code "0", city the
// whole text) when there is no digit, nothing after the last digit, or more
// than three other characters before the first digit. An empty text gives false
// and both empty.
bool SplitPostalCodeAndCity(const char* text, std::string& postalCode, std::string& city);

// The text after the last separator ('/' or '\'); "" when the path ends with one.
std::string GetLastPathComponent(std::string path);

// "year-mm-dd" of an API date value; "" for 0.
std::string FormatVardoDate(int date);

// The decimal number followed by both texts.
std::string MakePersSettingsKey(std::string first, std::string second, int number);

// folder + name, with the extension (a dot added unless it has one) when the name has no dot.
std::string MakeFilePath(std::string folder, std::string name, std::string extension);

// folder + separator + at most the first 11 characters of the file name.
std::string FormatSieFilePath(const std::string& folder, const char* fileName);
