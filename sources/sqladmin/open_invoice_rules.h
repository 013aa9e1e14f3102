#pragma once
// What the readers of open customer and supplier invoices of an SQL company share.
#include <string>
#include <vector>

#include "app/reader_interfaces/open_invoice_link.h"
#include "app/reader_interfaces/report_row.h"

#include "lumdb/query/filter.h"
#include "sources/sqladmin/company_connection.h"

// column <> value, where NULL also counts as different: an invoice whose type or
// cancelled flag was never set is open, not left out unseen.
lumdb::filter_node_t DiffersOrNull(const lumdb::filter_node_t& differs, const lumdb::field_desc_t& field);

// Whether an open-invoice kind is available: not for a company of the excluded
// edition, else as the company's cloud link decides, taken into `link`; a data
// source that cannot be read counts as no link.
bool IsOpenInvoiceKindAvailable(OpenInvoiceLink& link, const std::string& companyFolder, int excludedEdition);

// A credit invoice's amount is sent with the opposite sign; an empty one stays empty.
std::string CreditSigned(std::string amount, bool credit);

// The exchange rate, "1.000000" when it is missing or zero; empty when unread.
std::string RateOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* rate);
// The rate unit, 1 when it is missing or zero; 0 when unread.
int RateUnitOrOne(const CAdmDbSql& rows, const lumdb::field_desc_t* unit);
