#pragma once
// Test support: walks a source reader through its interface exactly as the
// upload job does, and keeps what it gave as plain records, so a test can
// compare a whole kind at once.
//   registers and open invoices: MoveFirst; per record IsCurrentCounted (articles,
//   customers, suppliers), CheckCurrent, every getter in the upload's order when
//   it said yes; MoveNext; then AddWarnings with the same rows and Close.
//   company settings: AddWarnings and Close, then the getters.
#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/reader_interfaces/import_kind.h"
#include "app/reader_interfaces/reader_factory.h"
#include "app/reader_interfaces/reader_fields.h"
#include "app/reader_interfaces/source_readers.h"

// A row in a failed expectation, shown as its texts.
inline void PrintTo(const ReportRow& row, std::ostream* os) {
  *os << "{" << ::testing::PrintToString(row.key) << ", " << ::testing::PrintToString(row.name) << ", " << row.kind
      << ", " << ::testing::PrintToString(row.text) << "}";
}

namespace reader_walk {

#define QZ_WALK_MEMBER(type, getter, field, setter) type field{};
#define QZ_WALK_READ(type, getter, field, setter) record.field = reader.getter();
#define QZ_WALK_PRINT(type, getter, field, setter) out << " " #field "=" << ::testing::PrintToString(r.field);

#define QZ_WALK_RECORD(Record, Interface, FIELDS, READ_ORDER)                              \
  struct Record {                                                                          \
    FIELDS(QZ_WALK_MEMBER)                                                                 \
    friend bool operator==(const Record&, const Record&) = default;                        \
    friend void PrintTo(const Record& r, std::ostream* os) {                               \
      std::ostream& out = *os;                                                             \
      out << "{";                                                                          \
      FIELDS(QZ_WALK_PRINT)                                                                \
      out << " }";                                                                         \
    }                                                                                      \
  };                                                                                       \
  inline Record ReadRecord(Interface& reader) {                                            \
    Record record;                                                                         \
    READ_ORDER(QZ_WALK_READ)                                                               \
    return record;                                                                         \
  }

QZ_WALK_RECORD(CompanyRecord, I_QZ_Company, QZ_COMPANY_FIELDS, QZ_COMPANY_FIELDS)
QZ_WALK_RECORD(ArticleRecord, I_QZ_Articles, QZ_ARTICLES_FIELDS, QZ_ARTICLES_FIELDS)
QZ_WALK_RECORD(CustomerRecord, I_QZ_Customers, QZ_CUSTOMERS_FIELDS, QZ_CUSTOMERS_FIELDS)
QZ_WALK_RECORD(SupplierRecord, I_QZ_Suppliers, QZ_SUPPLIERS_FIELDS, QZ_SUPPLIERS_FIELDS)
QZ_WALK_RECORD(DeliveryTermRecord, I_QZ_DeliveryTerms, QZ_DELIVERY_TERMS_FIELDS, QZ_DELIVERY_TERMS_FIELDS)
QZ_WALK_RECORD(DeliveryMethodRecord, I_QZ_DeliveryMethods, QZ_DELIVERY_METHODS_FIELDS, QZ_DELIVERY_METHODS_FIELDS)
QZ_WALK_RECORD(CustomerLedgerRecord, I_QZ_CustomerLedgerItems, QZ_CUSTOMER_LEDGER_ITEMS_FIELDS, QZ_CUSTOMER_LEDGER_ITEMS_FIELDS)
QZ_WALK_RECORD(SupplierLedgerRecord, I_QZ_SupplierLedgerItems, QZ_SUPPLIER_LEDGER_ITEMS_FIELDS, QZ_SUPPLIER_LEDGER_ITEMS_READ_ORDER)

#undef QZ_WALK_RECORD

template <class Record>
struct Walked {
  std::vector<Record> records;  // those CheckCurrent let through, in walk order
  std::vector<ReportRow> rows;
  int counted = 0;              // records IsCurrentCounted counted
  int visited = 0;              // every record the walk stood on
};

// The kinds whose walk asks IsCurrentCounted.
inline bool AsksCounted(I_QZ_Base&) { return false; }
inline bool AsksCounted(I_QZ_Articles&) { return true; }
inline bool AsksCounted(I_QZ_Customers&) { return true; }
inline bool AsksCounted(I_QZ_Suppliers&) { return true; }

template <class Interface>
auto Walk(Interface& reader) {
  Walked<decltype(ReadRecord(reader))> walked;
  for (bool more = reader.MoveFirst(); more; more = reader.MoveNext()) {
    ++walked.visited;
    if (AsksCounted(reader) && reader.IsCurrentCounted()) ++walked.counted;
    if (reader.CheckCurrent(walked.rows)) walked.records.push_back(ReadRecord(reader));
  }
  reader.AddWarnings(walked.rows);
  reader.Close();
  return walked;
}

// The company settings: the check only collects the warnings and closes; the
// values are read at upload, after the close.
inline Walked<CompanyRecord> WalkCompany(I_QZ_Company& reader) {
  Walked<CompanyRecord> walked;
  reader.AddWarnings(walked.rows);
  reader.Close();
  walked.records.push_back(ReadRecord(reader));
  return walked;
}

// The rows that refuse a record.
inline std::size_t CountRefused(const std::vector<ReportRow>& rows) {
  return std::count_if(rows.begin(), rows.end(), [](const ReportRow& r) { return r.kind == "Error"; });
}

// What a fresh reader of a kind gives, walked as the upload job walks it: the
// records it lets through and those it refuses itself; 0 for a kind that is not
// available. Each of them must end in the cloud or in a report row.
template <class Interface>
std::size_t CountRead(std::unique_ptr<Interface> reader) {
  if (!reader || !reader->IsAvailable()) return 0;
  auto walked = Walk(*reader);
  return walked.records.size() + CountRefused(walked.rows);
}

// CountRead of each register and open-invoice kind of a company, with the
// kind's name in the cloud's state.
struct KindRead {
  ImportKind kind;
  const char* name;
  std::size_t read;
};
inline std::vector<KindRead> CountReadPerKind(ReaderFactory& readers, const std::string& folder,
                                              const std::string& priceListCode) {
  return {{kImportArticles, "articles", CountRead(readers.MakeArticles(folder, priceListCode))},
          {kImportCustomers, "customers", CountRead(readers.MakeCustomers(folder))},
          {kImportSuppliers, "suppliers", CountRead(readers.MakeSuppliers(folder))},
          {kImportDeliveryTerms, "deliveryTerms", CountRead(readers.MakeDeliveryTerms(folder))},
          {kImportDeliveryMethods, "deliveryMethods", CountRead(readers.MakeDeliveryMethods(folder))},
          {kImportCustomerLedgerItems, "customerLedgerItems", CountRead(readers.MakeCustomerLedgerItems(folder))},
          {kImportSupplierLedgerItems, "supplierLedgerItems", CountRead(readers.MakeSupplierLedgerItems(folder))}};
}

}  // namespace reader_walk
