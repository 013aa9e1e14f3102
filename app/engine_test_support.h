#pragma once
// Shared by the engine's tests: loopback-only cloud configuration, a recording
// progress sink and records that the cloud library accepts.
#include <string>
#include <vector>

#include "app/progress_sink.h"
#include "app/reader_interfaces/fake/fake_readers.h"
#include "klcr/klcr.h"

namespace engine_test {

// No test may reach past loopback: every cloud call without a stand-in goes to a
// closed local port and fails there.
inline const bool kLoopbackOnly = KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:9");

class RecordingProgress final : public ProgressSink {
 public:
  void ShowProgress(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

inline fake::ArticleRecord Article(const std::string& number, const std::string& accountCode = "3001") {
  fake::ArticleRecord r;
  r.isActive = true;
  r.number = number;
  r.name = "Artikel " + number;
  r.articleAccountCode = accountCode;
  return r;
}

inline fake::CustomerRecord Customer(const std::string& number) {
  fake::CustomerRecord r;
  r.customerNumber = number;
  r.name = "Kund " + number;
  r.invoiceCity = "Växjö";
  r.invoicePostalCode = "352 30";
  return r;
}

inline fake::SupplierRecord Supplier(const std::string& number) {
  fake::SupplierRecord r;
  r.supplierNumber = number;
  r.name = "Leverantör " + number;
  return r;
}

}  // namespace engine_test
