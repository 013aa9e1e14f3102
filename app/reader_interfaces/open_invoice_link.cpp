#include "app/reader_interfaces/open_invoice_link.h"

#include <utility>

#include "platform/log.h"

bool OpenInvoiceLink::Take(const std::string& companyFolder, const std::string& link, std::string unread) {
  unreadLink_ = std::move(unread);
  if (unreadLink_.empty()) return link.empty();
  WriteLog("Företaget i " + companyFolder + ": kopplingen till Tessal Molnix (PRM.KL_FKRECID) kunde inte läsas, "
           "så öppna fakturor överförs inte: " + unreadLink_);
  return true;
}

void OpenInvoiceLink::AddRow(std::vector<ReportRow>& rows) const {
  rows.push_back({"", "", report::kError, report::kCaptionError,
                  "Företagets koppling till Tessal Molnix kan inte läsas, så fakturorna överförs inte: " + unreadLink_});
}
