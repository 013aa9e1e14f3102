#pragma once
// The address of the help page on converting, shared by the wizard's help buttons.
#include <string>

#include "app/reader_interfaces/source_company.h"

// `helpBase` is the help site's base address as the service directory gives it
// (empty when the look-up failed); `company` the chosen source company, or null.
// Without a base the page on the customer portal is used; with one, the page of
// the company's program and edition, or the general page when there is none.
std::string HelpPageAddress(std::string helpBase, const SourceCompany* company);
