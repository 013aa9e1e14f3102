#pragma once
// Reading the service's answers. Each takes a body as it came over the wire and
// answers kOk with what the request needs, or kMalformedAnswer with the outputs
// left empty: nothing of an answer read in part is ever used. Internal to klcr;
// no network here, so tests and the fuzz target feed them any bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace klcr::detail {

// Login and refresh: both tokens, each fit to go back in a header.
struct Tokens {
  std::string access;
  std::string refresh;
};
int ReadTokensAnswer(std::string_view body, Tokens& tokens);

// Service directory: the address of one service, not empty.
int ReadServiceAnswer(std::string_view body, std::string& uri);

// The user's companies.
struct CustomerEntry {
  std::string registrationNumber, name, id, countryId;
  int status = 0;
  int number = 0;
};
struct CustomersAnswer {
  std::vector<CustomerEntry> customers;
  std::string firstName, lastName;
};
int ReadCustomersAnswer(std::string_view body, CustomersAnswer& answer);

// A company's API token.
int ReadApiTokenAnswer(std::string_view body, std::string& token);

// An upload: the service acknowledges exactly the `sent` records (or files).
int ReadReceivedAnswer(std::string_view body, std::size_t sent);

// A discard: says whether something was dropped; dropping nothing is no error.
int ReadDiscardAnswer(std::string_view body);

// A completion, or the state of an import: whether the import is completed.
int ReadCompletedAnswer(std::string_view body, bool& completed);

// The refresh credential kept in the settings folder; empty when the file holds none.
std::string ReadKeptRefreshToken(std::string_view fileText);

}  // namespace klcr::detail
