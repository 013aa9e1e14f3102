#pragma once
// Builds the nine readers of one source company, one data kind at a time, so that
// a reader that cannot be built costs only its own kind.
#include <memory>
#include <string>

#include "app/sources/source_readers.h"

class ReaderFactory {
 public:
  virtual ~ReaderFactory() = default;
  virtual std::unique_ptr<I_QZ_Company> MakeCompanySettings(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_Articles> MakeArticles(const std::string& folder, const std::string& priceListCode) = 0;
  virtual std::unique_ptr<I_QZ_Customers> MakeCustomers(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_Suppliers> MakeSuppliers(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_DeliveryTerms> MakeDeliveryTerms(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_DeliveryMethods> MakeDeliveryMethods(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_CustomerLedgerItems> MakeCustomerLedgerItems(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_SupplierLedgerItems> MakeSupplierLedgerItems(const std::string& folder) = 0;
  virtual std::unique_ptr<I_QZ_SIE> MakeSie(const std::string& folder) = 0;
};

// The factory of one family of readers: each kind's reader class built from the
// company folder (and the articles' price-list code). A family names its nine
// classes once; a back-end plugs a reader in by naming its class here.
template <class Company, class Articles, class Customers, class Suppliers, class DeliveryTerms,
          class DeliveryMethods, class CustomerLedgerItems, class SupplierLedgerItems, class Sie>
class ReaderFamily final : public ReaderFactory {
 public:
  std::unique_ptr<I_QZ_Company> MakeCompanySettings(const std::string& folder) override {
    return std::make_unique<Company>(folder);
  }
  std::unique_ptr<I_QZ_Articles> MakeArticles(const std::string& folder, const std::string& priceListCode) override {
    return std::make_unique<Articles>(folder, priceListCode);
  }
  std::unique_ptr<I_QZ_Customers> MakeCustomers(const std::string& folder) override {
    return std::make_unique<Customers>(folder);
  }
  std::unique_ptr<I_QZ_Suppliers> MakeSuppliers(const std::string& folder) override {
    return std::make_unique<Suppliers>(folder);
  }
  std::unique_ptr<I_QZ_DeliveryTerms> MakeDeliveryTerms(const std::string& folder) override {
    return std::make_unique<DeliveryTerms>(folder);
  }
  std::unique_ptr<I_QZ_DeliveryMethods> MakeDeliveryMethods(const std::string& folder) override {
    return std::make_unique<DeliveryMethods>(folder);
  }
  std::unique_ptr<I_QZ_CustomerLedgerItems> MakeCustomerLedgerItems(const std::string& folder) override {
    return std::make_unique<CustomerLedgerItems>(folder);
  }
  std::unique_ptr<I_QZ_SupplierLedgerItems> MakeSupplierLedgerItems(const std::string& folder) override {
    return std::make_unique<SupplierLedgerItems>(folder);
  }
  std::unique_ptr<I_QZ_SIE> MakeSie(const std::string& folder) override { return std::make_unique<Sie>(folder); }
};
