#pragma once
// The texts of the prepare-and-send step: the report after the check, the
// warnings before a send and the result lines after it. Built from a plain
// picture of the job's nine kinds, so they can be compared exactly in tests.
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "app/reader_interfaces/import_kind.h"
#include "app/reader_interfaces/report_row.h"
#include "app/reader_interfaces/source_company.h"

// What the job holds of one data kind at the moment the picture is taken.
struct KindState {
  bool takesPart = false;  // reader built and available, or unreadable (open customer invoices: and wanted)
  bool unreadable = false;  // the reader could not be built, or not read whole: the rows say why, nothing is sent
  std::vector<ReportRow> rows;
  std::size_t count = 0;     // records in the upload object; 0 without an upload job
  std::size_t maxCount = 0;  // the register's maximum; 0 when there is none
  int sieFileState = 0;      // SIE only: 0 no file made, 1 current year, 2 both years
  int result = 0;            // code of the last upload

  bool TooMany() const { return maxCount > 0 && count > maxCount; }
};

using JobState = std::array<KindState, kImportKindCount>;

// The order in which the report and the result lines list the kinds.
inline constexpr std::array<ImportKind, kImportKindCount> kReportOrder = {
    kImportCompany,   kImportDeliveryTerms,       kImportDeliveryMethods,
    kImportCustomers, kImportSuppliers,           kImportArticles,
    kImportCustomerLedgerItems, kImportSupplierLedgerItems, kImportSie};

// The report of the prepare step; lines end in "\r\n". `showSoFar`, when
// given, receives the report as built up to the supplier rows, so that a long
// supplier list is seen before the articles are written.
std::string BuildPrepareReport(const JobState& state,
                               const std::function<void(const std::string&)>& showSoFar = {});

// The report when building the readers or checking them threw.
std::string BuildPrepareFailure(const std::string& what);

// The warnings shown before a send, without the closing question; empty when
// there is nothing to warn about.
std::string BuildSendWarnings(const JobState& state, const SourceCompany& source);

struct UploadSummary {
  int attempted = 0;
  int succeeded = 0;
  std::string text;  // one line per attempted kind
};

// The result lines of an upload; `errorText` gives the text of a result code.
UploadSummary SummariseUpload(const JobState& state, const std::function<std::string(int)>& errorText);

// The message boxes of the send step.
namespace send_text {
inline constexpr const char* kQuestionContinue = "Vill du fortsätta att överföra övrig information?";
inline constexpr const char* kNothingSent = "Inga överföringar har gjorts.\n";
inline constexpr const char* kPartialLead = "Överföringen lyckades delvis.\n\n";
inline constexpr const char* kPartialQuestion =
    "\nVill du fortsätta och spara de överförda uppgifterna i Tessal Molnix?";
inline constexpr const char* kCompleted =
    "Överföringen är klar.\n\n"
    "Välj OK för att logga in direkt i Tessal Molnix.\n\n"
    "Om du redan är igång och provar Tessal Molnix måste du starta om företaget under Inställningar "
    "för att kunna importera dina överförda uppgifter. "
    "När du sedan går igenom startguiden kommer dina uppgifter att finnas tillgängliga.\n\n";
std::string TokenFailed(int code, const std::string& errorText);
std::string CompletionFailed(int code, const std::string& errorText);
std::string UploadFailed(const std::string& what);
// The discard before the upload failed: nothing was sent.
std::string EarlierTransferNotDiscarded(int code, const std::string& errorText);
// The user chose not to keep a partial transfer, and it could not be dropped.
std::string PartialTransferNotDiscarded(int code, const std::string& errorText);
}  // namespace send_text
