// What an upload object takes and refuses when a record is added.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "klcr/klcr.h"

namespace {

using namespace KLCR_MolnixMigration;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

void CompleteArticle(CUploadArticles& a, const std::string& number = "A1") {
  a.SetNumber(number);
  a.SetName("Skruv");
  a.SetArticleAccountCode("3001");
}

void CompleteCustomer(CUploadCustomers& c) {
  c.SetCustomerNumber("K1");
  c.SetName("Åsa Öberg AB");
  c.SetInvoicePostalCode("123 45");
  c.SetInvoiceCity("Öby");
}

void CompleteCustomerInvoice(CUploadCustomerLedgerItems& i) {
  i.SetInvoiceNumber(17);
  i.SetCustomerNumber("K1");
  i.SetInvoiceDate("2024-01-31");
  i.SetDueDate("2024-02-29");
  i.SetTotalAmountInvoiceCurrency("1250.00");
}

struct Case {
  const char* what;
  std::function<int()> add;
  int expected;
  const char* text;
};

// Each case builds a record in a fresh object and adds it once.
const Case kCases[] = {
    {"complete article", [] { CUploadArticles a; CompleteArticle(a); return a.AddArticle(); }, 0, ""},
    {"article without account code",
     [] { CUploadArticles a; CompleteArticle(a); a.SetArticleAccountCode(""); return a.AddArticle(); }, 2,
     "Obligatoriska uppgifter saknas."},
    {"article without name", [] { CUploadArticles a; CompleteArticle(a); a.SetName(""); return a.AddArticle(); }, 15,
     "Benämning saknas."},
    {"article without number", [] { CUploadArticles a; CompleteArticle(a, ""); return a.AddArticle(); }, 11,
     "Nummer eller kod saknas."},
    {"name of 100 two-byte characters",
     [] { CUploadArticles a; CompleteArticle(a); a.SetName(Repeat("Å", 100)); return a.AddArticle(); }, 0, ""},
    {"name of 101 characters",
     [] { CUploadArticles a; CompleteArticle(a); a.SetName(Repeat("Å", 101)); return a.AddArticle(); }, 1,
     "Ett fält innehåller fler tecken än Tessal Molnix tillåter."},
    {"price with a decimal comma",
     [] { CUploadArticles a; CompleteArticle(a); a.SetNetPrice("12,50"); return a.AddArticle(); }, 13,
     "Ogiltigt belopp."},
    {"negative price with a point",
     [] { CUploadArticles a; CompleteArticle(a); a.SetGrossPrice("-12.5"); return a.AddArticle(); }, 0, ""},
    {"text that is not UTF-8",
     [] { CUploadArticles a; CompleteArticle(a); a.SetName("G\xF6ran"); return a.AddArticle(); }, 3,
     "Ett fält innehåller ogiltiga tecken."},
    {"second article with the same number",
     [] { CUploadArticles a; CompleteArticle(a); a.AddArticle(); CompleteArticle(a); return a.AddArticle(); }, 14,
     "Numret finns redan på en annan post."},
    {"customer without postal code",
     [] { CUploadCustomers c; CompleteCustomer(c); c.SetInvoicePostalCode(""); return c.AddCustomer(); }, 6,
     "Postnummer saknas."},
    {"customer without city",
     [] { CUploadCustomers c; CompleteCustomer(c); c.SetInvoiceCity(""); return c.AddCustomer(); }, 7, "Ort saknas."},
    {"customer without name", [] { CUploadCustomers c; CompleteCustomer(c); c.SetName(""); return c.AddCustomer(); },
     5, "Namn saknas."},
    {"supplier without name",
     [] { CUploadSuppliers s; s.SetSupplierNumber("L1"); return s.AddSupplier(); }, 5, "Namn saknas."},
    {"supplier without number", [] { CUploadSuppliers s; s.SetName("Lev AB"); return s.AddSupplier(); }, 9,
     "Leverantörsnummer saknas."},
    {"delivery term", [] { CUploadDeliveryTerms t; t.SetCode("FVL"); t.SetName("Fritt vårt lager"); return t.AddDeliveryTerm(); }, 0, ""},
    {"delivery method without code",
     [] { CUploadDeliveryMethods m; m.SetName("Post"); return m.AddDeliveryMethod(); }, 11, "Nummer eller kod saknas."},
    {"complete customer invoice on a leap day",
     [] { CUploadCustomerLedgerItems i; CompleteCustomerInvoice(i); return i.AddLedgerItem(); }, 0, ""},
    {"customer invoice without customer number",
     [] { CUploadCustomerLedgerItems i; CompleteCustomerInvoice(i); i.SetCustomerNumber(""); return i.AddLedgerItem(); },
     8, "Kundnummer saknas."},
    {"customer invoice without due date",
     [] { CUploadCustomerLedgerItems i; CompleteCustomerInvoice(i); i.SetDueDate(""); return i.AddLedgerItem(); }, 10,
     "Förfallodatum saknas."},
    {"customer invoice due on 29 February of a common year",
     [] { CUploadCustomerLedgerItems i; CompleteCustomerInvoice(i); i.SetDueDate("2023-02-29"); return i.AddLedgerItem(); },
     12, "Ogiltigt datum."},
    {"customer invoice with a compact date",
     [] { CUploadCustomerLedgerItems i; CompleteCustomerInvoice(i); i.SetInvoiceDate("20240131"); return i.AddLedgerItem(); },
     12, "Ogiltigt datum."},
    {"supplier invoice without supplier number",
     [] { CUploadSupplierLedgerItems i; i.SetDueDate("2024-03-01"); return i.AddLedgerItem(); }, 9,
     "Leverantörsnummer saknas."},
};

TEST(RecordChecks, AddAnswersTheFieldErrorAndItsSwedishText) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const int code = c.add();
    EXPECT_EQ(code, c.expected);
    EXPECT_EQ(KLCRReturnsErrorInfo::GetFieldErrorText(code, klcr::kSwedish), c.text);
  }
  EXPECT_EQ(KLCRReturnsErrorInfo::GetFieldErrorText(klcr::kFieldAccountCodeMissing, klcr::kSwedish),
            "Konteringskod saknas.");
}

TEST(RecordChecks, ARefusedRecordStaysCurrentUntilResetAndIsNeverCounted) {
  CUploadCustomers customers;
  CompleteCustomer(customers);
  customers.SetInvoiceCity("");
  EXPECT_EQ(customers.AddCustomer(), klcr::kFieldCityMissing);
  EXPECT_EQ(customers.GetCount(), 0u);
  customers.SetInvoiceCity("Öby");  // the refused record is still current: mending it is enough
  EXPECT_EQ(customers.AddCustomer(), 0);
  EXPECT_EQ(customers.GetCount(), 1u);

  customers.SetCustomerNumber("K2");
  customers.SetInvoiceCity("");
  EXPECT_EQ(customers.AddCustomer(), klcr::kFieldCityMissing);
  customers.ResetCustomer();  // Reset clears every field, so the next record starts empty
  customers.SetInvoiceCity("Öby");
  EXPECT_EQ(customers.AddCustomer(), klcr::kFieldCustomerNumberMissing);
  EXPECT_EQ(customers.GetCount(), 1u);
}

TEST(ErrorTexts, EveryCodeOfTheLibraryHasItsOwnSwedishText) {
  const int codes[] = {klcr::kBadRequest,      klcr::kUnauthorized,     klcr::kForbidden,
                       klcr::kNotFound,        klcr::kConflict,         klcr::kServerError,
                       klcr::kServiceUnavailable, klcr::kConnectionFailed, klcr::kTimedOut,
                       klcr::kMalformedAnswer, klcr::kNotLoggedIn,      klcr::kSecureConnectionFailed,
                       klcr::kMissingInput,    klcr::kFileUnreadable,   klcr::kTransferFailed,
                       klcr::kNothingToCall,   klcr::kRecordNotAccepted};
  for (int code : codes) EXPECT_EQ(KLCRestBase::GetErrorText(code, klcr::kSwedish).find("felkod"), std::string::npos) << code;
  for (int code = klcr::kFieldTooLong; code <= klcr::kFieldArticleNameMissing; ++code)
    EXPECT_EQ(KLCRReturnsErrorInfo::GetFieldErrorText(code, klcr::kSwedish).find("felkod"), std::string::npos) << code;
  EXPECT_EQ(KLCRestBase::GetErrorText(418, klcr::kSwedish), "Tessal Molnix avvisade anropet (felkod 418).");
}

}  // namespace
