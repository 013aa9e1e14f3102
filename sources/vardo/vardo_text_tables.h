#pragma once
// The company's text table TEXT.DBF: numbered texts, of which fixed ranges
// hold the article units (names 361-370, their codes 861-870), the delivery
// terms (220-229), the delivery methods (231-240) and the payment terms
// (421-430). The delivery-term and delivery-method readers walk the whole
// table and let through the texts of their range.
#include <string>

#include "app/reader_interfaces/source_readers.h"
#include "sources/vardo/vardo_company_db.h"

class CVardoTextDb : public CVardoCompanyDb {
 public:
  explicit CVardoTextDb(std::string companyFolder);

  int GetTextNumber() { return GetLong(number_); }
  // Whether the text number does not read as its field's type, the text then
  // counted as one the walk cannot read: a look-up passes it over.
  bool PassUnreadableNumber();
  std::string GetTextName() { return GetString(name_); }
  // The days of a payment term, read from its name (see the .cpp); -1 when the name holds no number.
  int GetDaysFromName();

 private:
  VardoField number_{vardo_table::kText, "TEXTNO"};
  VardoField name_{vardo_table::kText, "TEXTNAME"};
};

class CVardoUnitCodeDb : public CVardoTextDb {
 public:
  using CVardoTextDb::CVardoTextDb;
};

class CVardoPaymentTermsDb : public CVardoTextDb {
 public:
  using CVardoTextDb::CVardoTextDb;
};

// One text of a range, kept for a look-up.
struct VardoTermText {
  std::string name;
  int days = 0;  // payment terms only
  int textNumber = 0;
};

// The text number `first` + `index` when it lies in first..last; 0 otherwise.
// Tables refer to a text of a range by its index in the range.
inline int TextNumberInRange(int index, int first, int last) {
  return index >= 0 && index <= last - first ? first + index : 0;
}

// Whether a text may serve as a term or method: a name of more than one character.
bool IsUsableTermName(const std::string& name);

// The texts numbered first..last with a usable name, uploaded under their number.
template <class Interface, int First, int Last>
class CVardoTextRangeReader : public CVardoTextDb, public Interface {
 public:
  static constexpr int kFirst = First;
  static constexpr int kLast = Last;

  explicit CVardoTextRangeReader(std::string companyFolder) : CVardoTextDb(std::move(companyFolder)) {}

  // Whether the current text lies in this reader's range.
  bool IsInRange() {
    const int number = GetTextNumber();
    return number >= First && number <= Last;
  }

  // Whether the current text is one this reader uploads.
  bool IsUploaded() { return IsInRange() && IsUsableTermName(GetTextName()); }

  bool IsAvailable() override { return true; }
  void AddWarnings(std::vector<ReportRow>& rows) override { AddDamageRows(rows); }
  // A text whose number does not read may be one of this range: lost, as a text that cannot be read.
  bool CheckCurrent(std::vector<ReportRow>&) override { return !PassUnreadableNumber() && IsUploaded(); }
  bool MoveFirst() override { return CVardoCompanyDb::MoveFirst(); }
  bool MoveNext() override { return CVardoCompanyDb::MoveNext(); }

  std::string GetCode() override { return FormatInteger(GetTextNumber()); }
  std::string GetName() override { return GetTextName(); }
};

class CVardoDeliveryTermsDb : public CVardoTextRangeReader<I_QZ_DeliveryTerms, 220, 229> {
 public:
  using CVardoTextRangeReader::CVardoTextRangeReader;
};

class CVardoDeliveryMethodsDb : public CVardoTextRangeReader<I_QZ_DeliveryMethods, 231, 240> {
 public:
  using CVardoTextRangeReader::CVardoTextRangeReader;
};
