#pragma once
// Readers of a data kind that this build cannot take from the company: the kind
// is not available, there is no record, and every getter answers "", false or 0.
// A source whose back-end is not built yet derives its readers from these.
#include "app/sources/reader_fields.h"
#include "app/sources/source_readers.h"

template <class Interface>
class NotAvailable : public Interface {
 public:
  bool IsAvailable() override { return false; }
  bool MoveFirst() override { return false; }
  bool MoveNext() override { return false; }
};

#define QZ_ANSWER_NOTHING(type, getter, field, setter) \
  type getter() override { return type{}; }

class UnavailableCompanyReader : public NotAvailable<I_QZ_Company> {
 public:
  QZ_COMPANY_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableArticleReader : public NotAvailable<I_QZ_Articles> {
 public:
  QZ_ARTICLES_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableCustomerReader : public NotAvailable<I_QZ_Customers> {
 public:
  QZ_CUSTOMERS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableSupplierReader : public NotAvailable<I_QZ_Suppliers> {
 public:
  QZ_SUPPLIERS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableDeliveryTermsReader : public NotAvailable<I_QZ_DeliveryTerms> {
 public:
  QZ_DELIVERY_TERMS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableDeliveryMethodsReader : public NotAvailable<I_QZ_DeliveryMethods> {
 public:
  QZ_DELIVERY_METHODS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableCustomerLedgerReader : public NotAvailable<I_QZ_CustomerLedgerItems> {
 public:
  QZ_CUSTOMER_LEDGER_ITEMS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableSupplierLedgerReader : public NotAvailable<I_QZ_SupplierLedgerItems> {
 public:
  QZ_SUPPLIER_LEDGER_ITEMS_FIELDS(QZ_ANSWER_NOTHING)
};

class UnavailableSieReader : public NotAvailable<I_QZ_SIE> {
 public:
  QZ_SIE_PATHS(QZ_ANSWER_NOTHING)
  std::vector<ReportRow> CreateSieFiles() override { return {}; }
};

#undef QZ_ANSWER_NOTHING
