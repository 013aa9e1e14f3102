#include "sources/sqladmin/supplier_reader.h"

#include <cctype>
#include <regex>

namespace {

constexpr const char* kOwnColumns[] = {
    "LEVNR", "ORGNR", "REF", "ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4", "REF_SIGN", "UTLBETALN", "VALUTAKOD",
    "EPOST", "POSTADR", "POSTADR2", "ORT", "LANDSKOD", "POSTNR", "NAMN", "MBTEL", "TEL", "BETVILLK", "AUTOGIRO",
    "BGIRO", "PGIRO", "WWW", "BG_AVGKOD", "RIKSBKOD", "OCRLEV", "SWIFTADR", "BANKKOD", "MBANKNAMN"};

bool IsDigitAt(const std::string& text, std::size_t index) {
  return index < text.size() && std::isdigit(static_cast<unsigned char>(text[index]));
}

// A foreign account number that starts with a digit in one of its first two
// places is a BBAN; one that starts with two non-digits, as a country prefix
// does, an IBAN.
bool LooksLikeBban(const std::string& account) { return IsDigitAt(account, 0) || IsDigitAt(account, 1); }

}  // namespace

CSqlAdminSupplierDb::CSqlAdminSupplierDb(std::string companyFolder) : SqlRegisterDb(std::move(companyFolder)) {
  static_assert(std::size(kOwnColumns) == kColumnCount);
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const SqlTableColumns suppliers(*model, "LEV");
  if (suppliers.table == nullptr) return;
  for (int column = 0; column < kColumnCount; ++column) own_[column] = suppliers.Column(kOwnColumns[column]);
  if (Own(kNote1) == nullptr) own_[kNote2] = own_[kNote3] = own_[kNote4] = nullptr;
  OpenRegister(*model, suppliers, own_,
               {Own(kNumber), Own(kReferenceSign), Own(kTerms), {Own(kNote1), Own(kNote2), Own(kNote3), Own(kNote4)}, Own(kName)},
               "LEVNR", "LEVNOTE");
}

std::string CSqlAdminSupplierDb::GetSupplierBankgiroNumber() {
  static const std::regex kBankgiroForm("[0-9]{3,4}-[0-9]{4}");
  if (IsForeign()) return {};
  std::string number = GetColumnStringNoSpace(Own(kBankgiro));
  return std::regex_match(number, kBankgiroForm) ? number : std::string();
}

std::string CSqlAdminSupplierDb::GetSupplierBankBban() {
  if (!IsForeign() || GetSupplierBankCode().empty()) return {};
  std::string account = GetColumnStringNoDash(Own(kBankgiro));
  return LooksLikeBban(account) ? account : std::string();
}

std::string CSqlAdminSupplierDb::GetSupplierBankIban() {
  if (!IsForeign() || GetSupplierBankBic().empty()) return {};
  std::string account = GetColumnStringNoDash(Own(kBankgiro));
  return LooksLikeBban(account) ? std::string() : account;
}

std::string CSqlAdminSupplierDb::GetBankFeeCode() {
  if (!IsForeign()) return {};
  std::string code = Text(kBankFee);
  if (code == "0") return "1";
  if (code == "1" || code == "2") return "2";
  return code;
}
