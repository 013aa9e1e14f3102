#include "sources/sqladmin/register_query.h"

#include <regex>

bool DistinctKeyWalk::MoveFirst(CAdmDbSql& rows, const lumdb::field_desc_t* key) {
  const bool found = rows.MoveFirst();
  currentKey_ = found ? rows.GetColumnString(key) : std::string();
  return found;
}

bool DistinctKeyWalk::MoveNext(CAdmDbSql& rows, const lumdb::field_desc_t* key) {
  while (rows.MoveNext()) {
    std::string next = rows.GetColumnString(key);
    if (next != currentKey_) {
      currentKey_ = std::move(next);
      return true;
    }
  }
  return false;
}

std::string RegisterNote(const CAdmDbSql& rows, const lumdb::field_desc_t* const (&lines)[4],
                         const lumdb::field_desc_t* noteText, const lumdb::join_path_t& notePath) {
  if (rows.connectionError()) return {};
  if (lines[0] != nullptr) {
    std::string note;
    for (const lumdb::field_desc_t* line : lines) note += rows.GetColumnString(line);
    return note;
  }
  return noteText != nullptr ? rows.GetColumnString(noteText, &notePath) : std::string();
}

std::string TermsOfPaymentCode(const CAdmDbSql& rows, const lumdb::field_desc_t* paymentCode,
                               const lumdb::join_path_t& termsPath, const lumdb::field_desc_t* ownTerms) {
  static const std::regex kCloudCode("[0-9]{1,3}");
  std::string code = rows.GetColumnString(paymentCode, &termsPath);
  return std::regex_match(code, kCloudCode) ? code : rows.GetColumnString(ownTerms);
}
