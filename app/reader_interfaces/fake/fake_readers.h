#pragma once
// Recording fake readers: typed records that the test fills, and a log of every
// call the reader receives (operation names, getters included), so a test can
// check both what reached the cloud and how the reader was walked.
//
//   fake::FakeArticles articles;
//   articles.records = {{.number = "A1", .name = "Hammer"}, {.number = "A2"}};
//   articles.Reject(1, ReportRow{"A2", "", "Error", "Fel:", "Saknar pris."});
//
// Records are indexed from 0 in the order MoveFirst/MoveNext visit them.
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/reader_interfaces/reader_fields.h"
#include "app/reader_interfaces/source_readers.h"
#include "app/reader_interfaces/stored_company_settings.h"

namespace fake {

#define QZ_RECORD_FIELD(type, getter, field, setter) type field{};
using CompanyRecord = CompanySettingsValues;
struct ArticleRecord { QZ_ARTICLES_FIELDS(QZ_RECORD_FIELD) };
struct CustomerRecord { QZ_CUSTOMERS_FIELDS(QZ_RECORD_FIELD) };
struct SupplierRecord { QZ_SUPPLIERS_FIELDS(QZ_RECORD_FIELD) };
struct DeliveryTermRecord { QZ_DELIVERY_TERMS_FIELDS(QZ_RECORD_FIELD) };
struct DeliveryMethodRecord { QZ_DELIVERY_METHODS_FIELDS(QZ_RECORD_FIELD) };
struct CustomerLedgerRecord { QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(QZ_RECORD_FIELD) };
struct SupplierLedgerRecord { QZ_SUPPLIER_LEDGER_ITEMS_FIELDS(QZ_RECORD_FIELD) };
#undef QZ_RECORD_FIELD

// What every fake shares: availability, the call log, rows for AddWarnings, and a
// hook that tells when the reader is destroyed (owners must release it).
template <class Interface>
class RecordingBase : public Interface {
 public:
  ~RecordingBase() override {
    if (onDestroyed) onDestroyed();
  }

  bool available = true;
  std::vector<ReportRow> warnings;  // appended by AddWarnings
  std::vector<std::string> calls;   // every call received, in order
  std::function<void()> onDestroyed;

  bool IsAvailable() override {
    calls.emplace_back("IsAvailable");
    return available;
  }
  void Close() override { calls.emplace_back("Close"); }
  void AddWarnings(std::vector<ReportRow>& rows) override {
    calls.emplace_back("AddWarnings");
    rows.insert(rows.end(), warnings.begin(), warnings.end());
  }

  std::size_t CallCount(std::string_view name) const {
    std::size_t n = 0;
    for (const auto& call : calls) n += call == name;
    return n;
  }
  // The calls without the getters: the walk as the engine drove it.
  std::vector<std::string> Walk() const {
    static const std::set<std::string, std::less<>> kBase = {
        "IsAvailable", "GetRecordCount", "Close",    "AddWarnings", "CheckCurrent",
        "IsCurrentCounted", "MoveFirst",  "MoveNext", "CreateSieFiles"};
    std::vector<std::string> walk;
    for (const auto& call : calls) {
      if (kBase.count(call)) walk.push_back(call);
    }
    return walk;
  }
};

// A reader that walks `records`.
template <class Interface, class Record>
class RecordingReader : public RecordingBase<Interface> {
 public:
  std::vector<Record> records;

  // CheckCurrent answers false for the record; `row`, when given, is appended then.
  void Reject(std::size_t index, std::optional<ReportRow> row = std::nullopt) {
    rejected_.insert(index);
    if (row) checkRows_[index].push_back(*row);
  }
  // CheckCurrent appends `row` for the record and still answers true.
  void AddCheckRow(std::size_t index, ReportRow row) { checkRows_[index].push_back(std::move(row)); }
  // IsCurrentCounted answers false for the record.
  void DoNotCount(std::size_t index) { uncounted_.insert(index); }

  int GetRecordCount() override {
    this->calls.emplace_back("GetRecordCount");
    return static_cast<int>(records.size());
  }
  bool CheckCurrent(std::vector<ReportRow>& rows) override {
    this->calls.emplace_back("CheckCurrent");
    if (auto it = checkRows_.find(current_); it != checkRows_.end()) {
      rows.insert(rows.end(), it->second.begin(), it->second.end());
    }
    return !rejected_.count(current_);
  }
  bool IsCurrentCounted() override {
    this->calls.emplace_back("IsCurrentCounted");
    return !uncounted_.count(current_);
  }
  bool MoveFirst() override {
    this->calls.emplace_back("MoveFirst");
    current_ = 0;
    return !records.empty();
  }
  bool MoveNext() override {
    this->calls.emplace_back("MoveNext");
    if (current_ < records.size()) ++current_;
    return current_ < records.size();
  }

 protected:
  const Record& Read(const char* getter) {
    this->calls.emplace_back(getter);
    if (current_ >= records.size()) throw std::logic_error(std::string(getter) + " read without a current record");
    return records[current_];
  }

 private:
  std::size_t current_ = 0;
  std::set<std::size_t> rejected_;
  std::set<std::size_t> uncounted_;
  std::map<std::size_t, std::vector<ReportRow>> checkRows_;
};

#define QZ_READ_RECORD(type, getter, field, setter) \
  type getter() override { return Read(#getter).field; }

class FakeArticles final : public RecordingReader<I_QZ_Articles, ArticleRecord> {
 public:
  QZ_ARTICLES_FIELDS(QZ_READ_RECORD)
};
class FakeCustomers final : public RecordingReader<I_QZ_Customers, CustomerRecord> {
 public:
  QZ_CUSTOMERS_FIELDS(QZ_READ_RECORD)
};
class FakeSuppliers final : public RecordingReader<I_QZ_Suppliers, SupplierRecord> {
 public:
  QZ_SUPPLIERS_FIELDS(QZ_READ_RECORD)
};
class FakeDeliveryTerms final : public RecordingReader<I_QZ_DeliveryTerms, DeliveryTermRecord> {
 public:
  QZ_DELIVERY_TERMS_FIELDS(QZ_READ_RECORD)
};
class FakeDeliveryMethods final : public RecordingReader<I_QZ_DeliveryMethods, DeliveryMethodRecord> {
 public:
  QZ_DELIVERY_METHODS_FIELDS(QZ_READ_RECORD)
};
class FakeCustomerLedgerItems final : public RecordingReader<I_QZ_CustomerLedgerItems, CustomerLedgerRecord> {
 public:
  QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(QZ_READ_RECORD)
};
class FakeSupplierLedgerItems final : public RecordingReader<I_QZ_SupplierLedgerItems, SupplierLedgerRecord> {
 public:
  QZ_SUPPLIER_LEDGER_ITEMS_FIELDS(QZ_READ_RECORD)
};
#undef QZ_READ_RECORD

// Company settings: one set of values, answered with or without a move and after Close.
class FakeCompany final : public RecordingBase<I_QZ_Company> {
 public:
  CompanyRecord values;

  bool MoveFirst() override {
    calls.emplace_back("MoveFirst");
    return true;
  }
  bool MoveNext() override {
    calls.emplace_back("MoveNext");
    return false;
  }
#define QZ_READ_VALUES(type, getter, field, setter) \
  type getter() override {                          \
    calls.emplace_back(#getter);                    \
    return values.field;                            \
  }
  QZ_COMPANY_FIELDS(QZ_READ_VALUES)
#undef QZ_READ_VALUES
};

// SIE files: CreateSieFiles returns `sieRows` and from then on the paths answer
// `filePath` and `filePathPreviousYear` (before it, both are empty). With
// `failure` set, CreateSieFiles throws std::runtime_error with that text instead.
class FakeSie final : public RecordingBase<I_QZ_SIE> {
 public:
  std::string filePath;
  std::string filePathPreviousYear;
  std::vector<ReportRow> sieRows;
  std::string failure;

  bool MoveFirst() override {
    calls.emplace_back("MoveFirst");
    return false;
  }
  bool MoveNext() override {
    calls.emplace_back("MoveNext");
    return false;
  }
  std::string GetFilePath() override {
    calls.emplace_back("GetFilePath");
    return created_ ? filePath : std::string();
  }
  std::string GetFilePathPreviousYear() override {
    calls.emplace_back("GetFilePathPreviousYear");
    return created_ ? filePathPreviousYear : std::string();
  }
  std::vector<ReportRow> CreateSieFiles() override {
    calls.emplace_back("CreateSieFiles");
    if (!failure.empty()) throw std::runtime_error(failure);
    created_ = true;
    return sieRows;
  }

 private:
  bool created_ = false;
};

}  // namespace fake
