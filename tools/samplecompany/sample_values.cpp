#include "tools/samplecompany/sample_values.h"

#include <cstdio>

namespace samplecompany {

std::string Format(const char* pattern, int value) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string Amount(long long hundredths) {
  const bool negative = hundredths < 0;
  if (negative) hundredths = -hundredths;
  char text[32];
  std::snprintf(text, sizeof text, "%s%lld.%02lld", negative ? "-" : "", hundredths / 100, hundredths % 100);
  return text;
}

std::string WithLuhn(const std::string& digits) {
  int sum = 0;
  bool twice = true;  // the rightmost digit before the check digit counts double
  for (auto it = digits.rbegin(); it != digits.rend(); ++it, twice = !twice) {
    int d = *it - '0';
    if (twice) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
    sum += d;
  }
  return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string OrgNo(char first, int serial) {
  const std::string digits = WithLuhn(std::string(1, first) + Format("%08d", 56000000 + serial * 37 % 40000000));
  return digits.substr(0, 6) + "-" + digits.substr(6);
}

std::string PersonNo(int serial) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%02d%02d%02d%03d", 50 + serial % 40, 1 + serial % 12, 1 + serial % 28,
                100 + serial % 900);
  return WithLuhn(digits).insert(6, "-");
}

const std::vector<std::string> kFirstNames = {"Åsa", "Örjan", "Märta", "Björn", "Göran", "Ingrid", "Kjell", "Lena",
                                              "Ulla", "Sören", "Agnetha", "Håkan"};
const std::vector<std::string> kSurnames = {"Öberg", "Åberg", "Sjögren", "Lindström", "Ekström", "Hägg",
                                            "Nyström", "Bäckman", "Sundqvist", "Fältskog"};
const std::vector<std::string> kCities = {"Göteborg", "Malmö", "Umeå", "Västerås", "Linköping",
                                          "Örebro", "Jönköping", "Växjö", "Luleå", "Sundsvall"};
const std::vector<std::string> kStreets = {"Storgatan", "Kungsgatan", "Drottninggatan", "Västra Hamngatan",
                                           "Östra Långgatan", "Sjögatan", "Ängsvägen", "Björkvägen"};
const std::vector<std::string> kGoods = {"Skruv",     "Mutter",   "Bräda",  "Spik",      "Färg",
                                         "Pensel",    "Kåpa",     "Lås",    "Gångjärn",  "Tätningslist",
                                         "Fönsterbåge", "Dörrhandtag", "Väggplugg", "Sågklinga"};

std::string PersonName(int i) { return Pick(kFirstNames, i) + " " + Pick(kSurnames, i / 3); }
std::string Street(int i) { return Pick(kStreets, i) + " " + std::to_string(1 + i % 97); }
std::string PostalCode(int i) { return Format("%03d", 100 + i * 7 % 880) + " " + Format("%02d", i % 100); }
std::string Phone(int i) { return "0" + Format("%d", 8 + i % 90) + "-" + Format("%06d", 100000 + i * 4567 % 900000); }
std::string Mail(const std::string& who, int i) { return "info" + std::to_string(i) + "@" + who + ".se"; }

}  // namespace samplecompany
