#pragma once
// The open invoices of a company go to the cloud while the company has no link
// to the cloud service (KL_FKRECID of PRM). A link that cannot be read keeps them
// back as a link does, since they may be in the cloud already; but the kind stays
// available, so that its report section says why: it then reads no invoice. The
// same on the DBF and the SQL line; each reads the link its own way.
#include <string>
#include <vector>

#include "app/reader_interfaces/report_row.h"

class OpenInvoiceLink {
 public:
  // Takes the link as read (empty for none), or why it could not be read
  // (`unread` not empty; logged with the company's folder). False when the
  // company is linked; true otherwise, the kind reading nothing when the link
  // could not be read.
  bool Take(const std::string& companyFolder, const std::string& link, std::string unread);
  // Nothing is to be read: the link could not be read.
  bool KeepsInvoicesBack() const { return !unreadLink_.empty(); }
  // The row of an unread link, for the kind's section.
  void AddRow(std::vector<ReportRow>& rows) const;

 private:
  std::string unreadLink_;  // why the link could not be read; empty when it was
};
