#pragma once
// Which company database versions an installed desktop program can export SIE
// from: each program version exports exactly one database version.
#include <span>

struct SieVersionPair {
  double programVersion;
  double databaseVersion;
};

// Ascending by program version.
std::span<const SieVersionPair> SieVersionPairs();

// True when the installed program's version is in the table and pairs with the
// company's database version (compared as exact numbers).
bool IsSieVersionAccepted(double installedVersion, double companyVersion);
