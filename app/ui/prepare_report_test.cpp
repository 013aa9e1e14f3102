#include "app/ui/prepare_report.h"

#include <gtest/gtest.h>

namespace {

ReportRow Row(std::string kind, std::string text, std::string caption = "Fel:") {
  return ReportRow{"K1", "", std::move(kind), std::move(caption), std::move(text)};
}

KindState Taking(std::size_t count, std::vector<ReportRow> rows = {}, std::size_t max = 0) {
  KindState k;
  k.takesPart = true;
  k.count = count;
  k.rows = std::move(rows);
  k.maxCount = max;
  return k;
}

JobState AllTakingPart() {
  JobState state;
  for (KindState& k : state) k = Taking(1);
  state[kImportSie].sieFileState = 1;
  return state;
}

SourceCompany Source(int kind, int product) {
  SourceCompany source;
  source.kind = kind;
  source.product = product;
  return source;
}

TEST(SendWarnings, NameEveryKindThatCannotBeMovedWholeInTheOrderOfTheRegisters) {
  JobState state = AllTakingPart();
  state[kImportCompany].rows = {Row("Error", "ignored")};
  state[kImportDeliveryTerms].rows = {Row("Error", "ignored")};
  state[kImportCustomers].rows = {Row("Error", "Namn saknas.")};
  state[kImportSuppliers] = Taking(20001, {Row("Error", "never shown")}, 20000);
  // A "Misc" row refuses no article, so it gives no article warning.
  state[kImportArticles].rows = {Row("Misc", "Ingen prislista.", "Varning:")};
  state[kImportCustomerLedgerItems].rows = {Row("Error", "Fakturan är inte bokförd.")};
  state[kImportSupplierLedgerItems].rows = {Row("Error", "Fakturan är inte bokförd.")};
  state[kImportSie].rows = {Row("AccountType", "Konto 1930 saknar typ."), Row("Info", "SIE 4", "    ")};

  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)),
            "Det finns kunder som saknar namn, postnr eller ort och därför inte kan överföras.\n\n"
            "Leverantörsregistret innehåller för många leverantörer för att kunna hanteras i Tessal Molnix och kan "
            "därför inte överföras.\n\n"
            "Det finns fakturor som inte är bokförda, saknar kundnummer eller saknar förfallodatum och därför inte "
            "kan överföras.\n\n"
            "Det finns leverantörsfakturor som inte är bokförda, saknar leverantörsnummer eller saknar "
            "förfallodatum och därför inte kan överföras.\n\n"
            "Konto 1930 saknar typ.\nSIE 4\n\n");
}

// A table that could not be read whole: its row stands in the section as it is,
// refuses no counted record, and the warning names the register with its text
// in place of the register's usual cause.
TEST(PrepareReport, ARowAboutTheWholeTableIsShownAndNamedButNotCounted) {
  JobState state;
  const ReportRow damage{"", "", "Error", "Fel:", "Filen KUND.DBF kan inte läsas helt: the last record is cut short"};
  state[kImportCustomers] = Taking(3, {damage, Row("Error", "Namn saknas.")});
  EXPECT_EQ(BuildPrepareReport(state),
            "Kundregister:\r\n"
            "Fel:\tFilen KUND.DBF kan inte läsas helt: the last record is cut short\r\n"
            "Fel:\tKund K1 kan inte överföras. Namn saknas.\r\n"
            "3 kunder klara för överföring.\r\n"
            "1 kunder kommer inte att överföras.\r\n"
            "\r\n"
            "\r\nFörberedelserna slutförda.\r\n\r\n"
            "3 kunder kommer att överföras.\r\n");
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)),
            "Kundregister: Filen KUND.DBF kan inte läsas helt: the last record is cut short\n\n"
            "Det finns kunder som saknar namn, postnr eller ort och därför inte kan överföras.\n\n");
  state[kImportCustomers].rows = {damage};
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)),
            "Kundregister: Filen KUND.DBF kan inte läsas helt: the last record is cut short\n\n");
}

TEST(SendWarnings, DependOnTheSourceLineAndProduct) {
  JobState state = AllTakingPart();
  state[kImportCustomers].rows = {Row("Error", "x")};
  state[kImportSuppliers].rows = {Row("Error", "x")};
  state[kImportArticles] = Taking(50001, {}, 50000);
  state[kImportCustomerLedgerItems].rows = {Row("Error", "x", "Inf:")};
  state[kImportSupplierLedgerItems].rows = {Row("Error", "x")};
  state[kImportSie].rows = {Row("Info", "SIE 4", "    "), Row("Error", "Exporten misslyckades.")};
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceVardo, 0)),
            "Det finns poster i kundregistret som inte kan överföras.\n\n"
            "Det finns poster i leverantörsregistret som inte kan överföras.\n\n"
            "Artikelregistret innehåller för många artiklar för att kunna hanteras i Tessal Molnix och kan därför "
            "inte överföras.\n\n"
            "Det finns obetalda kundfakturor som inte kan överföras.\n\n"
            "Det finns obetalda leverantörsfakturor som inte kan överföras.\n\n"
            "SIE-fil har inte kunnat skapas och kan därför inte överföras.\n\n");

  JobState invoicing = AllTakingPart();
  invoicing[kImportCustomerLedgerItems].rows = {Row("Error", "Fakturan är inte utskriven.")};
  EXPECT_EQ(BuildSendWarnings(invoicing, Source(kSourceAdmin, 3)),
            "Det finns fakturor som inte är utskrivna, saknar kundnummer eller saknar förfallodatum och därför inte "
            "kan överföras.\n\n");
}

TEST(SendWarnings, NoneForCleanKindsOrKindsThatTakeNoPart) {
  JobState state = AllTakingPart();
  state[kImportSie].rows = {Row("Info", "SIE 4", "    "), Row("Warning", "Obalans.", "Varning:")};
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)), "");
  // A chart-of-accounts row that does not lead: the file was made and is sent, so it is not said to be missing.
  state[kImportSie].rows.push_back(Row("AccountType", "Konto 1930 saknar typ."));
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)), "");
  state[kImportSie].rows.pop_back();

  state[kImportCustomers].rows = {Row("Error", "x")};
  state[kImportCustomers].takesPart = false;
  state[kImportCustomerLedgerItems].rows = {Row("Error", "x")};
  state[kImportCustomerLedgerItems].takesPart = false;
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)), "");
}

TEST(SendWarnings, SayThatNoSieFileCanBeSentWhenNoneWasMade) {
  JobState state = AllTakingPart();
  state[kImportSie].sieFileState = 0;
  EXPECT_EQ(BuildSendWarnings(state, Source(kSourceAdmin, 1)),
            "SIE-fil har inte kunnat skapas och kan därför inte överföras.\n\n");
}

TEST(UploadSummary, ListsEachAttemptedKindInReportOrder) {
  JobState state = AllTakingPart();
  state[kImportDeliveryMethods].count = 0;  // nothing to send: not attempted
  state[kImportCustomers].result = 500;
  state[kImportSuppliers] = Taking(20001, {}, 20000);  // not sent, whatever the upload answered
  state[kImportArticles] = Taking(50000, {}, 50000);   // at the maximum: sent
  state[kImportCustomerLedgerItems].takesPart = false;
  state[kImportSie].result = 1007;
  state[kImportCompany].count = 0;  // the settings are always sent

  const UploadSummary summary =
      SummariseUpload(state, [](int code) { return "text " + std::to_string(code); });
  EXPECT_EQ(summary.attempted, 7);
  EXPECT_EQ(summary.succeeded, 4);
  EXPECT_EQ(summary.text,
            "Överföringen av företagsinställningar lyckades\n"
            "Överföringen av leveransvillkor lyckades\n"
            "Överföringen av kunder misslyckades. Felkod: 500\nFelmeddelande: text 500\n"
            "Överföringen av leverantörer misslyckades. Leverantörsregistret får max innehålla 20 000 "
            "leverantörer.\n"
            "Överföringen av artiklar lyckades\n"
            "Överföringen av leverantörsreskontraposter lyckades\n"
            "Överföringen av sie misslyckades. Felkod: 1007\nFelmeddelande: text 1007\n");
}

TEST(UploadSummary, ARegisterWhoseTableCouldNotBeReadAndSendsNothingFailed) {
  JobState state;
  state[kImportDeliveryMethods] = Taking(0, {{"", "", "Error", "Fel:", "Tabellen LEVSAETT kan inte läsas: no such table"}});
  state[kImportCustomers] = Taking(2, {{"", "", "Error", "Fel:", "Filen KUND.DBF kan inte läsas helt: cut"}});
  state[kImportSuppliers] = Taking(0, {Row("Error", "Namn saknas.")});  // only a refused record: nothing to send
  const UploadSummary summary = SummariseUpload(state, [](int) { return ""; });
  EXPECT_EQ(summary.attempted, 2);
  EXPECT_EQ(summary.succeeded, 1);
  EXPECT_EQ(summary.text,
            "Överföringen av leveranssätt misslyckades. Tabellen LEVSAETT kan inte läsas: no such table\n"
            "Överföringen av kunder lyckades\n");
}

TEST(UploadSummary, SieWithoutAFileIsNotAttempted) {
  JobState state;
  state[kImportSie] = Taking(0);
  state[kImportSie].sieFileState = 0;
  state[kImportCustomers] = Taking(0);
  const UploadSummary summary = SummariseUpload(state, [](int) { return ""; });
  EXPECT_EQ(summary.attempted, 0);
  EXPECT_EQ(summary.text, "");
}

}  // namespace
