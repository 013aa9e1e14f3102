#pragma once
// The readers of a company of the Administration line whose data lies in SQL
// Server. Every kind is read but the SIE files, whose reader is not built yet and
// answers that its data kind is not available, so the job reports it as empty.
#include <string>

#include "app/sources/unavailable_readers.h"
#include "sources/sqladmin/article_reader.h"
#include "sources/sqladmin/company_settings.h"
#include "sources/sqladmin/customer_ledger_reader.h"
#include "sources/sqladmin/customer_reader.h"
#include "sources/sqladmin/delivery_readers.h"
#include "sources/sqladmin/supplier_ledger_reader.h"
#include "sources/sqladmin/supplier_reader.h"

class CSqlAdminSie : public UnavailableSieReader {
 public:
  explicit CSqlAdminSie(std::string companyFolder) {}
};
