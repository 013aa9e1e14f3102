#include "sources/admin/supplier_reader.h"

#include <string_view>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "123-4567" or "1234-5678".
bool IsBankgiroNumber(std::string_view text) {
  const auto dash = text.find('-');
  if (dash != 3 && dash != 4) return false;
  if (text.size() != dash + 5) return false;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (i != dash && !IsDigit(text[i])) return false;
  return true;
}

// Whether the first or the second character is a decimal digit: a national
// account number (BBAN) begins with digits, an IBAN with its country letters.
bool BeginsLikeBban(std::string_view utf8) {
  if (utf8.empty()) return false;
  if (IsDigit(utf8[0])) return true;
  std::size_t second = 1;
  while (second < utf8.size() && (static_cast<unsigned char>(utf8[second]) & 0xC0) == 0x80) ++second;
  return second < utf8.size() && IsDigit(utf8[second]);
}

}  // namespace

CAdminSupplierDb::CAdminSupplierDb(std::string folder)
    : CAdminRegisterReader(std::move(folder), kFileName, "LEVNR", ContactOwner::Supplier) {}

bool CAdminSupplierDb::CheckCurrent(std::vector<ReportRow>& rows) {
  using enum ValueForm;
  if (!CAdminRegisterReader::CheckCurrent(rows)) return false;
  const std::string number = GetSupplierNumber(), name = GetName();
  if (RefuseUnread(rows, number, name, {{"UTLBETALN", colForeignPayment_, Logical}})) return false;
  WarnUnread(rows, number, name, {{"AUTOGIRO", colAutogiro_, Logical}, {"OCRLEV", colOcr_, Logical}});
  return true;
}

std::string CAdminSupplierDb::GetSupplierBankgiroNumber() {
  if (IsForeignPayment()) return {};
  std::string account = GetFieldNoBlanks(colAccount_);
  return IsBankgiroNumber(account) ? account : std::string();
}

// Taken only together with the bank code it belongs to.
std::string CAdminSupplierDb::GetSupplierBankBban() {
  if (!IsForeignPayment() || GetSupplierBankCode().empty()) return {};
  std::string account = GetFieldDigits(colAccount_);
  return BeginsLikeBban(account) ? account : std::string();
}

// Taken only together with the BIC it belongs to.
std::string CAdminSupplierDb::GetSupplierBankIban() {
  if (!IsForeignPayment() || GetSupplierBankBic().empty()) return {};
  std::string account = GetFieldDigits(colAccount_);
  return BeginsLikeBban(account) ? std::string() : account;
}

// The company's bank fee codes mapped onto the cloud's; any other code is
// passed on as it stands.
std::string CAdminSupplierDb::GetBankFeeCode() {
  if (!IsForeignPayment()) return {};
  std::string code = GetField(colBankFee_);
  if (code == "0") return "1";
  if (code == "1" || code == "2") return "2";
  return code;
}
