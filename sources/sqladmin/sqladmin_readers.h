#pragma once
// The readers of a company of the Administration line whose data lies in SQL Server.
#include "sources/sqladmin/article_reader.h"
#include "sources/sqladmin/company_settings.h"
#include "sources/sqladmin/customer_ledger_reader.h"
#include "sources/sqladmin/customer_reader.h"
#include "sources/sqladmin/delivery_readers.h"
#include "sources/sqladmin/sie_reader.h"
#include "sources/sqladmin/supplier_ledger_reader.h"
#include "sources/sqladmin/supplier_reader.h"
