#pragma once
// The readers of a company of the Administration line whose data lies in SQL
// Server. The company settings, articles, customers, suppliers, open customer invoices and delivery terms and methods are read; the other readers are not built yet and
// answer that their data kind is not available, so the job reports them as empty.
#include <string>

#include "app/sources/unavailable_readers.h"
#include "sources/sqladmin/article_reader.h"
#include "sources/sqladmin/company_settings.h"
#include "sources/sqladmin/customer_ledger_reader.h"
#include "sources/sqladmin/customer_reader.h"
#include "sources/sqladmin/delivery_readers.h"
#include "sources/sqladmin/supplier_reader.h"

class CSqlAdminSupplierLedgerItems : public UnavailableSupplierLedgerReader {
 public:
  explicit CSqlAdminSupplierLedgerItems(std::string companyFolder) {}
};

class CSqlAdminSie : public UnavailableSieReader {
 public:
  explicit CSqlAdminSie(std::string companyFolder) {}
};
