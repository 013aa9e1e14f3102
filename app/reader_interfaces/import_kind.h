#pragma once
// The nine data kinds in the order in which the job builds, checks and uploads them.
// The prepare report lists them in another order; that order belongs to the report.

enum ImportKind : int {
  kImportCompany = 0,
  kImportArticles = 1,
  kImportCustomers = 2,
  kImportSuppliers = 3,
  kImportDeliveryTerms = 4,
  kImportDeliveryMethods = 5,
  kImportCustomerLedgerItems = 6,  // open customer invoices
  kImportSupplierLedgerItems = 7,  // open supplier invoices
  kImportSie = 8,
};

inline constexpr int kImportKindCount = 9;
