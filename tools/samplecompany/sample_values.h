#pragma once
// The values the sample companies are made of: Swedish names, addresses and
// numbers with valid check digits, picked by a record's serial number so that
// every run writes the same company.
#include <string>
#include <vector>

namespace samplecompany {

template <typename T>
const T& Pick(const std::vector<T>& list, int i) {
  return list[static_cast<std::size_t>(i) % list.size()];
}

// `value` printed by the printf `pattern`.
std::string Format(const char* pattern, int value);
// An amount in hundredths as "-12.34".
std::string Amount(long long hundredths);
// `digits` followed by their Luhn check digit.
std::string WithLuhn(const std::string& digits);
// "556123-4567"-style numbers with a valid check digit; `first` picks the kind.
std::string OrgNo(char first, int serial);
// A personal identity number "YYMMDD-NNNC" with a valid check digit.
std::string PersonNo(int serial);

extern const std::vector<std::string> kFirstNames;
extern const std::vector<std::string> kSurnames;
extern const std::vector<std::string> kCities;
extern const std::vector<std::string> kStreets;
extern const std::vector<std::string> kGoods;

std::string PersonName(int i);
std::string Street(int i);
std::string PostalCode(int i);
std::string Phone(int i);
std::string Mail(const std::string& who, int i);

}  // namespace samplecompany
