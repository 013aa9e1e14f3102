#pragma once
// Test support: the tables of the sample DBF company (tools/samplecompany) that
// the readers read, with the kinds each feeds. The settings tables and the chart
// of accounts every company has; any other a company may lack (it then has no
// such records).
#include <vector>

#include "app/testing/sample_table.h"

namespace conversion_damage {

inline std::vector<SampleTable> SampleDbfTables() {
  return {
      {"PRM.DBF", {kImportCompany, kImportCustomerLedgerItems, kImportSupplierLedgerItems, kImportSie}, false},
      {"PRM2.DBF", {kImportCompany}, false},
      {"NEWNUM.DBF", {kImportCompany}, false},
      {"ART.DBF", {kImportArticles}},
      {"PRIS.DBF", {kImportArticles}},
      {"PRISL.DBF", {kImportArticles}},
      {"ARTBEN.DBF", {kImportArticles}},
      {"ENHKOD.DBF", {kImportArticles}},
      {"ARTKNT.DBF", {kImportArticles}},
      {"KUND.DBF", {kImportCustomers}},
      {"LEV.DBF", {kImportSuppliers, kImportSupplierLedgerItems}},
      {"KONTAKT.DBF", {kImportCustomers, kImportSuppliers}},
      {"BETVILLK.DBF", {kImportCustomers, kImportSuppliers}},
      {"LEVVILLK.DBF", {kImportDeliveryTerms}},
      {"LEVSAETT.DBF", {kImportDeliveryMethods}},
      {"OOF.DBF", {kImportCustomerLedgerItems}},
      {"LEVFKT.DBF", {kImportSupplierLedgerItems}},
      {"BOKFAAR.DBF", {kImportSie}},
      {"KONTO.DBF", {kImportSie}, false},
  };
}

}  // namespace conversion_damage
