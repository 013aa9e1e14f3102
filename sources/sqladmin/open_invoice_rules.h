#pragma once
// What the readers of open customer and supplier invoices of an SQL company share.
#include <string>
#include <vector>

#include "app/sources/report_row.h"

#include "lumdb/query/filter.h"
#include "sources/sqladmin/company_connection.h"

// column <> value, where NULL also counts as different: an invoice whose type or
// cancelled flag was never set is open, not left out unseen.
lumdb::filter_node_t DiffersOrNull(const lumdb::filter_node_t& differs, const lumdb::field_desc_t& field);

// Open invoices are sent while the company has no link to the cloud service, and
// not by a company of the excluded edition. A link that cannot be read keeps them
// back as a link does, since they may be in the cloud already; but the kind stays
// available, so that its report section says why: it then reads no invoice.
class OpenInvoiceLink {
 public:
  bool IsAvailable(const std::string& companyFolder, int excludedEdition);
  // Nothing is to be read: the link could not be read.
  bool KeepsInvoicesBack() const { return !unreadLink_.empty(); }
  // The row of an unread link, for the kind's section.
  void AddRow(std::vector<ReportRow>& rows) const;

 private:
  std::string unreadLink_;  // why the link could not be read; empty when it was
};

// A credit invoice's amount is sent with the opposite sign; an empty one stays empty.
std::string CreditSigned(std::string amount, bool credit);

// The exchange rate, "1.000000" when it is missing or zero; empty when unread.
std::string RateOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* rate);
// The rate unit, 1 when it is missing or zero; 0 when unread.
int RateUnitOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* unit);
