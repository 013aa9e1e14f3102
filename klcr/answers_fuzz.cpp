// libFuzzer target: any bytes as the body of a service answer, given to every
// reader of answers. None may crash, and what a reader takes must hold what
// the next request relies on: tokens fit for a header, an address not empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "klcr/answers.h"
#include "klcr/klcr.h"
#include "klcr/service.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body(reinterpret_cast<const char*>(data), size);
  using namespace klcr::detail;

  Tokens tokens;
  const int login = ReadTokensAnswer(body, tokens);
  Require(login == klcr::kOk ? IsTokenText(tokens.access) && IsTokenText(tokens.refresh)
                             : login == klcr::kMalformedAnswer && tokens.access.empty() && tokens.refresh.empty());

  std::string uri;
  const int service = ReadServiceAnswer(body, uri);
  Require(service == klcr::kOk ? !uri.empty() : service == klcr::kMalformedAnswer && uri.empty());

  CustomersAnswer customers;
  const int list = ReadCustomersAnswer(body, customers);
  Require(list == klcr::kOk || (list == klcr::kMalformedAnswer && customers.customers.empty() &&
                                customers.firstName.empty() && customers.lastName.empty()));

  std::string apiToken;
  const int token = ReadApiTokenAnswer(body, apiToken);
  Require(token == klcr::kOk ? IsTokenText(apiToken) : token == klcr::kMalformedAnswer && apiToken.empty());

  (void)ReadKeptRefreshToken(body);
  return 0;
}
