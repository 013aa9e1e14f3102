#include "app/reader_factories.h"

#include <string>

#include "app/desktop/company_identification.h"
#include "sources/admin/admin_sie.h"
#include "sources/admin/article_reader.h"
#include "sources/admin/company_settings.h"
#include "sources/admin/customer_ledger_reader.h"
#include "sources/admin/customer_reader.h"
#include "sources/admin/delivery_readers.h"
#include "sources/admin/supplier_ledger_reader.h"
#include "sources/admin/supplier_reader.h"
#include "sources/sqladmin/sqladmin_readers.h"
#include "sources/vardo/vardo_readers.h"

namespace {

using AdminDbfReaders = ReaderFamily<
    CAdminCompanySettings,
    CAdminArticleDb,
    CAdminCustomerDb,
    CAdminSupplierDb,
    CAdminDeliveryTermsDb,
    CAdminDeliveryMethodsDb,
    CAdminCustomerLedgerItems,
    CAdminSupplierLedgerItems,
    CAdminSie>;

using AdminSqlReaders = ReaderFamily<
    CSqlAdminCompanySettingsDb,
    CSqlAdminArticleDb,
    CSqlAdminCustomerDb,
    CSqlAdminSupplierDb,
    CSqlAdminDeliveryTermsDb,
    CSqlAdminDeliveryMethodsDb,
    CSqlAdminCustomerLedgerItems,
    CSqlAdminSupplierLedgerItems,
    CSqlAdminSie>;

using VardoReaders = ReaderFamily<
    CVardoCompanySettings,
    CVardoArticleDb,
    CVardoCustomerDb,
    CVardoSupplierDb,
    CVardoDeliveryTermsDb,
    CVardoDeliveryMethodsDb,
    CVardoCustomerLedgerItems,
    CVardoSupplierLedgerItems,
    CVardoSie>;

}  // namespace

std::unique_ptr<ReaderFactory> MakeReaderFactory(const SourceCompany& company, platform::Prompter* prompter) {
  switch (company.kind) {
    case kSourceAdmin:
      if (IsSqlCompany(company.path)) return std::make_unique<AdminSqlReaders>(prompter);
      return std::make_unique<AdminDbfReaders>(prompter);
    case kSourceVardo:
      return std::make_unique<VardoReaders>(prompter);
    default:
      return nullptr;
  }
}
