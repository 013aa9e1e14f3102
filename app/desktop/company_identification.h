#pragma once
// Which company of the Administration line a folder holds: an SQL company
// (its ftg.ini names a database in section "DataSource") or a DBF company
// (PRM.DBF with program family "ADM"), identified into a SourceCompany.
#include <string>
#include <string_view>

#include "app/reader_interfaces/source_company.h"

// The company in the folder; a cleared record (kind 0) when the folder holds
// none. `readOrgNo` matters only for an SQL company, whose organisation number
// is read by connecting to its database; one that cannot be read is logged with
// the folder and why.
SourceCompany IdentifyCompany(const std::string& folder, bool readOrgNo);

// The folder's ftg.ini names an SQL database.
bool IsSqlCompany(const std::string& folder);

// The company has no link to the maker's online service (KL_FKRECID is empty,
// or cannot be read).
bool IsKlLinkEmpty(const std::string& folder);

// The comparison form of an organisation number: its digits, the first two of
// twelve dropped, and ten digits written with "-" after the sixth.
std::string NormalizeOrgNo(std::string_view text);

// A company of the Administration line is supported from this database version on.
inline constexpr double kLowestSupportedAdminVersion = 5.0;
