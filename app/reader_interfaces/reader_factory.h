#pragma once
// Builds the nine readers of one source company, one data kind at a time, so that
// a reader that cannot be built costs only its own kind.
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "app/reader_interfaces/source_readers.h"
#include "platform/prompter.h"

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
// company folder (and the articles' price-list code), plus the prompter for a
// reader that may have to tell the user something (its last constructor
// argument). A family names its nine classes once; a back-end plugs a reader in
// by naming its class here.
template <class Company, class Articles, class Customers, class Suppliers, class DeliveryTerms,
          class DeliveryMethods, class CustomerLedgerItems, class SupplierLedgerItems, class Sie>
class ReaderFamily final : public ReaderFactory {
 public:
  explicit ReaderFamily(platform::Prompter* prompter = nullptr) : prompter_(prompter) {}

  std::unique_ptr<I_QZ_Company> MakeCompanySettings(const std::string& folder) override {
    return Make<Company>(folder);
  }
  std::unique_ptr<I_QZ_Articles> MakeArticles(const std::string& folder, const std::string& priceListCode) override {
    return Make<Articles>(folder, priceListCode);
  }
  std::unique_ptr<I_QZ_Customers> MakeCustomers(const std::string& folder) override { return Make<Customers>(folder); }
  std::unique_ptr<I_QZ_Suppliers> MakeSuppliers(const std::string& folder) override { return Make<Suppliers>(folder); }
  std::unique_ptr<I_QZ_DeliveryTerms> MakeDeliveryTerms(const std::string& folder) override {
    return Make<DeliveryTerms>(folder);
  }
  std::unique_ptr<I_QZ_DeliveryMethods> MakeDeliveryMethods(const std::string& folder) override {
    return Make<DeliveryMethods>(folder);
  }
  std::unique_ptr<I_QZ_CustomerLedgerItems> MakeCustomerLedgerItems(const std::string& folder) override {
    return Make<CustomerLedgerItems>(folder);
  }
  std::unique_ptr<I_QZ_SupplierLedgerItems> MakeSupplierLedgerItems(const std::string& folder) override {
    return Make<SupplierLedgerItems>(folder);
  }
  std::unique_ptr<I_QZ_SIE> MakeSie(const std::string& folder) override { return Make<Sie>(folder); }

 private:
  template <class Reader, class... Texts>
  std::unique_ptr<Reader> Make(const Texts&... texts) {
    if constexpr (std::is_constructible_v<Reader, Texts..., platform::Prompter&>) {
      if (!prompter_) throw std::logic_error("this reader needs a prompter");
      return std::make_unique<Reader>(texts..., *prompter_);
    } else {
      return std::make_unique<Reader>(texts...);
    }
  }

  platform::Prompter* prompter_;
};
