#pragma once
// The readers of a company of the Vardo line. The Vardo back-end is not built
// yet: each reader answers that its data kind is not available.
#include <string>

#include "app/sources/unavailable_readers.h"

class CVardoCompanySettings : public UnavailableCompanyReader {
 public:
  explicit CVardoCompanySettings(std::string companyFolder) {}
};

class CVardoArticleDb : public UnavailableArticleReader {
 public:
  CVardoArticleDb(std::string companyFolder, std::string priceListCode) {}
};

class CVardoCustomerDb : public UnavailableCustomerReader {
 public:
  explicit CVardoCustomerDb(std::string companyFolder) {}
};

class CVardoSupplierDb : public UnavailableSupplierReader {
 public:
  explicit CVardoSupplierDb(std::string companyFolder) {}
};

class CVardoDeliveryTermsDb : public UnavailableDeliveryTermsReader {
 public:
  explicit CVardoDeliveryTermsDb(std::string companyFolder) {}
};

class CVardoDeliveryMethodsDb : public UnavailableDeliveryMethodsReader {
 public:
  explicit CVardoDeliveryMethodsDb(std::string companyFolder) {}
};

class CVardoCustomerLedgerItems : public UnavailableCustomerLedgerReader {
 public:
  explicit CVardoCustomerLedgerItems(std::string companyFolder) {}
};

class CVardoSupplierLedgerItems : public UnavailableSupplierLedgerReader {
 public:
  explicit CVardoSupplierLedgerItems(std::string companyFolder) {}
};

class CVardoSie : public UnavailableSieReader {
 public:
  explicit CVardoSie(std::string companyFolder) {}
};
