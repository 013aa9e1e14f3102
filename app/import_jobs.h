#pragma once
// The upload jobs: one per data kind. In the prepare step a job walks its reader,
// hands every record the reader lets through to the cloud upload object (which
// checks it against what the service accepts) and turns each refusal into a
// report row; in the send step it sends what the upload object holds.
#include <cstddef>
#include <string>
#include <vector>

#include "app/progress_sink.h"
#include "app/reader_interfaces/report_row.h"
#include "app/reader_interfaces/source_readers.h"
#include "klcr/klcr.h"

class CMlxImportBase {
 public:
  explicit CMlxImportBase(std::string apiToken) : apiToken_(std::move(apiToken)) {}
  virtual ~CMlxImportBase() = default;
  CMlxImportBase(const CMlxImportBase&) = delete;
  CMlxImportBase& operator=(const CMlxImportBase&) = delete;

  // The most records the kind may send; 0 for the kinds without a limit.
  virtual int GetMaxCount() const { return 0; }
  // Closes the reader of a kind that is skipped.
  virtual void Release() {}
  virtual bool IsAvailable() = 0;
  // The rows of this check; `progress` may be null.
  virtual std::vector<ReportRow> Check(ProgressSink* progress) = 0;
  // 0 for success and when nothing is sent, otherwise the cloud library's code.
  virtual int Upload() = 0;
  virtual KLCR_MolnixMigration::KLCRReturnsErrorInfo* GetErrorInfo() = 0;
  // Records the upload object holds, that is what the send will carry.
  virtual std::size_t GetCount() const { return 0; }
  // False when the check found that the source could not be read whole and the
  // kind must not be sent at all (its rows say why); the upload then sends nothing.
  virtual bool IsReadWhole() const { return true; }

  // The token every later upload of this job sends.
  void SetApiToken(std::string apiToken) { apiToken_ = std::move(apiToken); }
  const std::string& ApiToken() const { return apiToken_; }

 private:
  std::string apiToken_;
};

// A job over one reader interface and one upload class.
template <class Reader, class UploadObject>
class CMlxImportOf : public CMlxImportBase {
 public:
  CMlxImportOf(std::string apiToken, Reader* reader) : CMlxImportBase(std::move(apiToken)), reader_(reader) {}
  void Release() override { reader_->Close(); }
  bool IsAvailable() override { return reader_->IsAvailable(); }
  KLCR_MolnixMigration::KLCRReturnsErrorInfo* GetErrorInfo() override { return &upload_; }

 protected:
  int Send() {
    upload_.SetApiToken(ApiToken());
    return upload_.Call();
  }

  Reader* reader_;  // borrowed from the conversion job
  UploadObject upload_;
};

// The walk shared by the registers and the open invoices.
template <class Reader, class UploadObject>
class CMlxImportRecords : public CMlxImportOf<Reader, UploadObject> {
 public:
  using CMlxImportOf<Reader, UploadObject>::CMlxImportOf;
  std::vector<ReportRow> Check(ProgressSink* progress) override;
  int Upload() override;
  std::size_t GetCount() const override { return this->upload_.GetCount(); }

 protected:
  // The registers (articles, customers, suppliers) have a maximum, count their
  // records and show progress with this printf text; the other kinds answer null.
  virtual const char* ProgressFormat() const { return nullptr; }
  virtual void CopyRecord() = 0;  // every getter into its setter
  virtual int AddRecord() = 0;
  virtual void ResetRecord() = 0;
  // The rows for a refused record.
  virtual void AddRefusalRows(int code, std::vector<ReportRow>& rows) = 0;

 private:
  bool HasMaximum() const { return ProgressFormat() != nullptr; }
  bool IsAboveMaximum() const;
  void ShowCount(ProgressSink* progress, int counted) const;
};

class CMlxImportCompany final : public CMlxImportOf<I_QZ_Company, KLCR_MolnixMigration::CUploadCompanySettings> {
 public:
  using CMlxImportOf::CMlxImportOf;
  // Collects the reader's rows. An "Error" row means a settings table could not
  // be read whole: the settings the cloud has are then kept, and none are sent,
  // since a value that was not read would go out as the company's (a next
  // invoice number 0, an empty name).
  std::vector<ReportRow> Check(ProgressSink* progress) override;
  int Upload() override;
  bool IsReadWhole() const override { return readWhole_; }

 private:
  bool readWhole_ = true;
};

class CMlxImportArticles final : public CMlxImportRecords<I_QZ_Articles, KLCR_MolnixMigration::CUploadArticles> {
 public:
  using CMlxImportRecords::CMlxImportRecords;
  int GetMaxCount() const override { return 50000; }

 private:
  const char* ProgressFormat() const override { return "%d artiklar kontrollerade."; }
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddArticle(); }
  void ResetRecord() override { upload_.ResetArticle(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportCustomers final : public CMlxImportRecords<I_QZ_Customers, KLCR_MolnixMigration::CUploadCustomers> {
 public:
  using CMlxImportRecords::CMlxImportRecords;
  int GetMaxCount() const override { return 20000; }

 private:
  const char* ProgressFormat() const override { return "%d kunder kontrollerade."; }
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddCustomer(); }
  void ResetRecord() override { upload_.ResetCustomer(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportSuppliers final : public CMlxImportRecords<I_QZ_Suppliers, KLCR_MolnixMigration::CUploadSuppliers> {
 public:
  using CMlxImportRecords::CMlxImportRecords;
  int GetMaxCount() const override { return 20000; }

 private:
  const char* ProgressFormat() const override { return "%d leverantörer kontrollerade."; }
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddSupplier(); }
  void ResetRecord() override { upload_.ResetSupplier(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportDeliveryTerms final
    : public CMlxImportRecords<I_QZ_DeliveryTerms, KLCR_MolnixMigration::CUploadDeliveryTerms> {
 public:
  using CMlxImportRecords::CMlxImportRecords;

 private:
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddDeliveryTerm(); }
  void ResetRecord() override { upload_.ResetDeliveryTerm(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportDeliveryMethods final
    : public CMlxImportRecords<I_QZ_DeliveryMethods, KLCR_MolnixMigration::CUploadDeliveryMethods> {
 public:
  using CMlxImportRecords::CMlxImportRecords;

 private:
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddDeliveryMethod(); }
  void ResetRecord() override { upload_.ResetDeliveryMethod(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportCustomerLedgerItems final
    : public CMlxImportRecords<I_QZ_CustomerLedgerItems, KLCR_MolnixMigration::CUploadCustomerLedgerItems> {
 public:
  using CMlxImportRecords::CMlxImportRecords;

 private:
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddLedgerItem(); }
  void ResetRecord() override { upload_.ResetLedgerItem(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportSupplierLedgerItems final
    : public CMlxImportRecords<I_QZ_SupplierLedgerItems, KLCR_MolnixMigration::CUploadSupplierLedgerItems> {
 public:
  using CMlxImportRecords::CMlxImportRecords;

 private:
  void CopyRecord() override;
  int AddRecord() override { return upload_.AddLedgerItem(); }
  void ResetRecord() override { upload_.ResetLedgerItem(); }
  void AddRefusalRows(int code, std::vector<ReportRow>& rows) override;
};

class CMlxImportSIE final : public CMlxImportOf<I_QZ_SIE, KLCR_MolnixMigration::CUploadSieFile> {
 public:
  using CMlxImportOf::CMlxImportOf;
  // Has the reader's SIE files written and returns its rows; the reader stays open.
  std::vector<ReportRow> Check(ProgressSink* progress) override;
  int Upload() override;
  // 0: no current-year file, or the check's rows say the files cannot be sent
  // (an "Error" or "AccountType" row, as the report counts them); 1: the current
  // year's only; 2: both years'.
  int GetSieFileState();

 private:
  bool refused_ = false;
};
