#include "app/ui/prepare_report.h"

#include <algorithm>
#include <boost/format.hpp>

namespace {

// The texts of one register or invoice kind. `plural` fills the count lines,
// `noun` leads a refusal line; the too-many texts exist for the registers with a maximum.
struct KindTexts {
  const char* heading;
  const char* noun;
  const char* plural;
  const char* resultName;  // as in "Överföringen av ... lyckades"
  const char* tooManyReport = nullptr;
  const char* maxReport = nullptr;
  const char* tooManyWarning = nullptr;
  const char* vardoWarning = nullptr;
  const char* otherWarning = nullptr;
};

const KindTexts& TextsOf(ImportKind kind) {
  static const KindTexts company{"Företagsuppgifter:\r\n", "", "", "företagsinställningar"};
  static const KindTexts terms{"Leveransvillkor:\r\n", "Leveransvillkor", "leveransvillkor", "leveransvillkor"};
  static const KindTexts methods{"Leveranssätt:\r\n", "Leveranssätt", "leveranssätt", "leveranssätt"};
  static const KindTexts customers{
      "Kundregister:\r\n", "Kund", "kunder", "kunder",
      "Kundregistret innehåller för många kunder för att kunna hanteras i Molnix.\r\n",
      "Kundregistret får max innehålla 20 000 kunder.\r\n",
      "Kundregistret innehåller för många kunder för att kunna hanteras i Tessal Molnix och kan därför inte "
      "överföras.\n\n",
      "Det finns poster i kundregistret som inte kan överföras.\n\n",
      "Det finns kunder som saknar namn, postnr eller ort och därför inte kan överföras.\n\n"};
  static const KindTexts suppliers{
      "Leverantörsregister:\r\n", "Leverantör", "leverantörer", "leverantörer",
      "Leverantörsregistret innehåller för många leverantörer för att kunna hanteras i Molnix.\r\n",
      "Leverantörsregistret får max innehålla 20 000 leverantörer.\r\n",
      "Leverantörsregistret innehåller för många leverantörer för att kunna hanteras i Tessal Molnix och kan "
      "därför inte överföras.\n\n",
      "Det finns poster i leverantörsregistret som inte kan överföras.\n\n",
      "Det finns leverantörer som saknar namn och därför inte kan överföras.\n\n"};
  static const KindTexts articles{
      "Artikelregister:\r\n", "Artikel", "artiklar", "artiklar",
      "Artikelregistret innehåller för många artiklar för att kunna hanteras i Molnix.\r\n",
      "Artikelregistret får max innehålla 50 000 artiklar.\r\n",
      "Artikelregistret innehåller för många artiklar för att kunna hanteras i Tessal Molnix och kan därför "
      "inte överföras.\n\n",
      "Det finns poster i artikelregistret som inte kan överföras.\n\n",
      "Det finns artiklar som saknar benämning eller konteringskod och därför inte kan överföras.\n\n"};
  static const KindTexts customerLedger{"Kundreskontraposter (obetalda fakturor):\r\n", "Faktura nr",
                                        "kundreskontraposter", "kundreskontraposter"};
  static const KindTexts supplierLedger{"Leverantörsreskontraposter (obetalda leverantörsfakturor):\r\n",
                                        "Faktura nr", "leverantörsreskontraposter",
                                        "leverantörsreskontraposter"};
  static const KindTexts sie{"SIE-fil:\r\n", "", "", "sie"};
  switch (kind) {
    case kImportCompany: return company;
    case kImportArticles: return articles;
    case kImportCustomers: return customers;
    case kImportSuppliers: return suppliers;
    case kImportDeliveryTerms: return terms;
    case kImportDeliveryMethods: return methods;
    case kImportCustomerLedgerItems: return customerLedger;
    case kImportSupplierLedgerItems: return supplierLedger;
    case kImportSie: break;
  }
  return sie;
}

constexpr const char* kSieNotMade = "SIE-fil har inte kunnat skapas och kan därför inte överföras.";

std::string PlainLine(const ReportRow& row) { return row.caption + "\t" + row.text + "\r\n"; }

bool HasKind(const std::vector<ReportRow>& rows, const char* kind) {
  return std::any_of(rows.begin(), rows.end(), [&](const ReportRow& row) { return row.kind == kind; });
}

bool SieHasFault(const std::vector<ReportRow>& rows) {
  return HasKind(rows, report::kError) || HasKind(rows, report::kAccountType);
}

// An "Error" row about the register or invoice kind as a whole: shown as it
// stands, and not counted as a refused record.
bool IsKindError(const ReportRow& row) { return row.kind == report::kError && report::IsAboutWholeKind(row); }

// The refusals of a register or invoice kind: rows that keep a record back. A
// "Misc" row only informs, an "Info" row explains a refusal already counted.
bool HasRefusal(const std::vector<ReportRow>& rows) {
  return std::any_of(rows.begin(), rows.end(),
                     [](const ReportRow& row) { return row.kind == report::kError && !IsKindError(row); });
}

bool IsRegisterOrInvoices(ImportKind kind) { return kind != kImportCompany && kind != kImportSie; }

// How the warning and the result lines name a kind: its heading without the line end.
std::string KindName(ImportKind kind) {
  std::string name = TextsOf(kind).heading;
  return name.substr(0, name.size() - 2);
}

std::string CountLine(std::size_t count, const char* plural, const char* tail) {
  return (boost::format("%d %s %s\r\n") % count % plural % tail).str();
}

}  // namespace

std::string BuildPrepareReport(const JobState& state, const std::function<void(const std::string&)>& showSoFar) {
  std::string text;
  std::array<bool, kImportKindCount> ready{};

  for (ImportKind kind : kReportOrder) {
    const KindState& k = state[kind];
    if (!k.takesPart) continue;
    const KindTexts& t = TextsOf(kind);
    text += t.heading;

    if (k.unreadable) {
      // The register could not be read at all: its rows say why, and nothing of it is ready.
      for (const ReportRow& row : k.rows) text += PlainLine(row);
      if (IsRegisterOrInvoices(kind)) text += "\r\n";
      continue;
    }

    if (kind == kImportCompany) {
      if (k.rows.empty()) {
        text += "Företagsuppgifter klara för överföring.\r\n\r\n";
        ready[kind] = true;
      } else {
        for (const ReportRow& row : k.rows) text += PlainLine(row);
      }
      continue;
    }

    if (kind == kImportSie) {
      for (const ReportRow& row : k.rows) text += PlainLine(row);
      if (SieHasFault(k.rows)) continue;
      if (k.sieFileState == 0) {
        text += std::string(kSieNotMade) + "\r\n";
      } else {
        text += "SIE-fil klar för överföring.\r\n";
        ready[kind] = true;
      }
      continue;
    }

    if (k.TooMany()) {
      text += t.tooManyReport;
      text += t.maxReport;
      text += "\r\n";
      continue;
    }
    int refused = 0;
    for (const ReportRow& row : k.rows) {
      if (row.kind == report::kMisc || IsKindError(row)) {
        text += PlainLine(row);
        continue;
      }
      text += (boost::format("%s\t%s %s kan inte överföras. %s\r\n") % row.caption % t.noun % row.key % row.text).str();
      if (row.kind == report::kError) ++refused;
    }
    if (kind == kImportSuppliers && !k.rows.empty() && showSoFar) showSoFar(text);
    text += CountLine(k.count, t.plural, "klara för överföring.");
    ready[kind] = k.count != 0;
    if (refused > 0) text += CountLine(refused, t.plural, "kommer inte att överföras.");
    text += "\r\n";
  }

  text += "\r\nFörberedelserna slutförda.\r\n\r\n";
  for (ImportKind kind : kReportOrder) {
    if (!ready[kind]) continue;
    if (kind == kImportCompany) {
      text += "Företagsuppgifter kommer att överföras.\r\n";
    } else if (kind == kImportSie) {
      text += "SIE-fil kommer att överföras.\r\n";
    } else {
      text += CountLine(state[kind].count, TextsOf(kind).plural, "kommer att överföras.");
    }
  }
  return text;
}

std::string BuildPrepareFailure(const std::string& what) {
  return "Förberedelserna kunde inte slutföras.\r\n" + what + "\r\n\r\n"
         "Åtgärda felet och välj Börja om för att hämta uppgifterna på nytt.\r\n";
}

std::string BuildSendWarnings(const JobState& state, const SourceCompany& source) {
  const bool vardo = source.kind == kSourceVardo;
  std::string text;
  // A kind that could not be read, or not read whole, is named with the rows that
  // say why (its usual warning would give a wrong cause); then the usual warnings.
  for (ImportKind kind : kReportOrder) {
    const KindState& k = state[kind];
    if (!k.takesPart) continue;
    for (const ReportRow& row : k.rows) {
      if (k.unreadable || (IsRegisterOrInvoices(kind) && IsKindError(row))) {
        text += KindName(kind) + " " + row.text + "\n\n";
      }
    }
  }

  for (ImportKind kind : {kImportCustomers, kImportSuppliers, kImportArticles}) {
    const KindState& k = state[kind];
    if (!k.takesPart || k.unreadable) continue;
    const KindTexts& t = TextsOf(kind);
    if (k.TooMany()) {
      text += t.tooManyWarning;
    } else if (HasRefusal(k.rows)) {
      text += vardo ? t.vardoWarning : t.otherWarning;
    }
  }

  const KindState& customerLedger = state[kImportCustomerLedgerItems];
  if (customerLedger.takesPart && !customerLedger.unreadable && HasRefusal(customerLedger.rows)) {
    if (source.kind == kSourceAdmin && source.product == 3) {
      text += "Det finns fakturor som inte är utskrivna, saknar kundnummer eller saknar förfallodatum och därför "
              "inte kan överföras.\n\n";
    } else if (vardo) {
      text += "Det finns obetalda kundfakturor som inte kan överföras.\n\n";
    } else {
      text += "Det finns fakturor som inte är bokförda, saknar kundnummer eller saknar förfallodatum och därför "
              "inte kan överföras.\n\n";
    }
  }

  const KindState& supplierLedger = state[kImportSupplierLedgerItems];
  if (supplierLedger.takesPart && !supplierLedger.unreadable && HasRefusal(supplierLedger.rows)) {
    text += vardo ? "Det finns obetalda leverantörsfakturor som inte kan överföras.\n\n"
                  : "Det finns leverantörsfakturor som inte är bokförda, saknar leverantörsnummer eller saknar "
                    "förfallodatum och därför inte kan överföras.\n\n";
  }

  const KindState& sie = state[kImportSie];
  if (sie.takesPart && !sie.unreadable) {
    if (!sie.rows.empty() && sie.rows.front().kind == report::kAccountType) {
      for (const ReportRow& row : sie.rows) text += row.text + "\n";
      text += "\n";
    } else if (HasKind(sie.rows, report::kError) || sie.sieFileState == 0) {
      // Also when the reader said nothing: without a file there is nothing to send.
      text += std::string(kSieNotMade) + "\n\n";
    }
  }
  return text;
}

UploadSummary SummariseUpload(const JobState& state, const std::function<std::string(int)>& errorText) {
  UploadSummary summary;
  for (ImportKind kind : kReportOrder) {
    const KindState& k = state[kind];
    if (!k.takesPart) continue;
    // A register whose table could not be read, and of which nothing was left to
    // send, failed like one whose reader could not be built: it is not left out
    // of the result lines as if it were empty.
    const bool lost = IsRegisterOrInvoices(kind) && k.count == 0 &&
                      std::any_of(k.rows.begin(), k.rows.end(), IsKindError);
    const bool attempted = k.unreadable || lost || kind == kImportCompany ||
                           (kind == kImportSie ? k.sieFileState != 0 : k.count != 0);
    if (!attempted) continue;
    ++summary.attempted;
    const KindTexts& t = TextsOf(kind);
    if (k.unreadable || lost) {
      // Nothing of it was sent; the user was told why before the send.
      for (const ReportRow& row : k.rows) {
        if (k.unreadable || IsKindError(row)) {
          summary.text += (boost::format("Överföringen av %s misslyckades. %s\n") % t.resultName % row.text).str();
        }
      }
    } else if (k.TooMany()) {
      // Nothing of an over-full register was sent, whatever the upload answered.
      std::string limit = t.maxReport;
      limit.replace(limit.size() - 2, 2, "\n");
      summary.text += (boost::format("Överföringen av %s misslyckades. %s") % t.resultName % limit).str();
    } else if (k.result == 0) {
      summary.text += (boost::format("Överföringen av %s lyckades\n") % t.resultName).str();
      ++summary.succeeded;
    } else {
      summary.text += (boost::format("Överföringen av %s misslyckades. Felkod: %d\nFelmeddelande: %s\n") %
                       t.resultName % k.result % errorText(k.result))
                          .str();
    }
  }
  return summary;
}

namespace send_text {
std::string TokenFailed(int code, const std::string& errorText) {
  return (boost::format("Inloggningen misslyckades.\nFelkod: %d\nFeltext: %s") % code % errorText).str();
}
std::string CompletionFailed(int code, const std::string& errorText) {
  return (boost::format("Avsluta överföringen misslyckades.\nFelkod: %d\nFeltext: %s") % code % errorText).str();
}
std::string UploadFailed(const std::string& what) {
  return "Överföringen avbröts av ett fel.\n" + what;
}
std::string EarlierTransferNotDiscarded(int code, const std::string& errorText) {
  return (boost::format("Det gick inte att ta bort en tidigare påbörjad överföring.\nFelkod: %d\nFeltext: %s") % code %
          errorText)
      .str();
}
std::string PartialTransferNotDiscarded(int code, const std::string& errorText) {
  return (boost::format("De delvis överförda uppgifterna kunde inte tas bort och väntar kvar i Tessal Molnix. "
                        "De tas bort när du skickar på nytt.\nFelkod: %d\nFeltext: %s") %
          code % errorText)
      .str();
}
}  // namespace send_text
