#pragma once
// A reader factory that hands out one prepared set of fake readers. Keep raw
// pointers to the fakes before the job takes them: they stay valid until the job
// releases its readers. The job drops the factory itself once the readers are
// made, so what it was asked is read in `onDestroyed` at the latest.
//
//   auto factory = std::make_unique<fake::FakeReaderFactory>();
//   fake::FakeArticles* articles = factory->articles.get();
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/reader_interfaces/fake/fake_readers.h"
#include "app/reader_interfaces/reader_factory.h"

namespace fake {

class FakeReaderFactory final : public ReaderFactory {
 public:
  std::unique_ptr<FakeCompany> company = std::make_unique<FakeCompany>();
  std::unique_ptr<FakeArticles> articles = std::make_unique<FakeArticles>();
  std::unique_ptr<FakeCustomers> customers = std::make_unique<FakeCustomers>();
  std::unique_ptr<FakeSuppliers> suppliers = std::make_unique<FakeSuppliers>();
  std::unique_ptr<FakeDeliveryTerms> deliveryTerms = std::make_unique<FakeDeliveryTerms>();
  std::unique_ptr<FakeDeliveryMethods> deliveryMethods = std::make_unique<FakeDeliveryMethods>();
  std::unique_ptr<FakeCustomerLedgerItems> customerLedgerItems = std::make_unique<FakeCustomerLedgerItems>();
  std::unique_ptr<FakeSupplierLedgerItems> supplierLedgerItems = std::make_unique<FakeSupplierLedgerItems>();
  std::unique_ptr<FakeSie> sie = std::make_unique<FakeSie>();

  std::set<ImportKind> failing;  // kinds whose reader construction throws
  std::string folder;            // the last folder asked for
  std::string priceListCode;     // the price-list code the articles were asked with
  std::function<void(const FakeReaderFactory&)> onDestroyed;

  FakeReaderFactory() = default;
  FakeReaderFactory(const FakeReaderFactory&) = delete;
  FakeReaderFactory& operator=(const FakeReaderFactory&) = delete;
  ~FakeReaderFactory() override {
    if (onDestroyed) onDestroyed(*this);
  }

  std::unique_ptr<I_QZ_Company> MakeCompanySettings(const std::string& f) override {
    return Hand(kImportCompany, f, company);
  }
  std::unique_ptr<I_QZ_Articles> MakeArticles(const std::string& f, const std::string& code) override {
    priceListCode = code;
    return Hand(kImportArticles, f, articles);
  }
  std::unique_ptr<I_QZ_Customers> MakeCustomers(const std::string& f) override {
    return Hand(kImportCustomers, f, customers);
  }
  std::unique_ptr<I_QZ_Suppliers> MakeSuppliers(const std::string& f) override {
    return Hand(kImportSuppliers, f, suppliers);
  }
  std::unique_ptr<I_QZ_DeliveryTerms> MakeDeliveryTerms(const std::string& f) override {
    return Hand(kImportDeliveryTerms, f, deliveryTerms);
  }
  std::unique_ptr<I_QZ_DeliveryMethods> MakeDeliveryMethods(const std::string& f) override {
    return Hand(kImportDeliveryMethods, f, deliveryMethods);
  }
  std::unique_ptr<I_QZ_CustomerLedgerItems> MakeCustomerLedgerItems(const std::string& f) override {
    return Hand(kImportCustomerLedgerItems, f, customerLedgerItems);
  }
  std::unique_ptr<I_QZ_SupplierLedgerItems> MakeSupplierLedgerItems(const std::string& f) override {
    return Hand(kImportSupplierLedgerItems, f, supplierLedgerItems);
  }
  std::unique_ptr<I_QZ_SIE> MakeSie(const std::string& f) override { return Hand(kImportSie, f, sie); }

 private:
  template <class Fake>
  std::unique_ptr<Fake> Hand(ImportKind kind, const std::string& f, std::unique_ptr<Fake>& fake) {
    folder = f;
    if (failing.count(kind)) throw std::runtime_error("the reader cannot be built");
    if (!fake) throw std::logic_error("this fake reader was handed out already");
    return std::move(fake);
  }
};

}  // namespace fake
