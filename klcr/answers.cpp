#include "klcr/answers.h"

#include <nlohmann/json.hpp>

#include "klcr/klcr.h"
#include "klcr/service.h"

namespace klcr::detail {
namespace {

// The body as a JSON object; a null value (never an object) when it is anything else.
nlohmann::json ParseObject(std::string_view body) {
  auto json = nlohmann::json::parse(body, nullptr, false);
  return json.is_object() ? json : nlohmann::json{};
}

std::string StringAt(const nlohmann::json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string{};
}

int IntAt(const nlohmann::json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_number_integer() ? found->get<int>() : 0;
}

}  // namespace

int ReadTokensAnswer(std::string_view body, Tokens& tokens) {
  tokens = {};
  const auto json = ParseObject(body);
  Tokens read{StringAt(json, "accessToken"), StringAt(json, "refreshToken")};
  if (!IsTokenText(read.access) || !IsTokenText(read.refresh)) return kMalformedAnswer;
  tokens = std::move(read);
  return kOk;
}

int ReadServiceAnswer(std::string_view body, std::string& uri) {
  uri.clear();
  std::string found = StringAt(ParseObject(body), "uri");
  if (found.empty()) return kMalformedAnswer;
  uri = std::move(found);
  return kOk;
}

int ReadCustomersAnswer(std::string_view body, CustomersAnswer& answer) {
  answer = {};
  const auto json = ParseObject(body);
  const auto list = json.find("customers");
  if (list == json.end() || !list->is_array()) return kMalformedAnswer;
  CustomersAnswer read;
  for (const auto& entry : *list) {
    if (!entry.is_object()) return kMalformedAnswer;
    read.customers.push_back({StringAt(entry, "registrationNumber"), StringAt(entry, "name"), StringAt(entry, "id"),
                              StringAt(entry, "countryId"), IntAt(entry, "status"), IntAt(entry, "number")});
  }
  read.firstName = StringAt(json, "firstName");
  read.lastName = StringAt(json, "lastName");
  answer = std::move(read);
  return kOk;
}

int ReadApiTokenAnswer(std::string_view body, std::string& token) {
  token.clear();
  std::string found = StringAt(ParseObject(body), "apiToken");
  if (!IsTokenText(found)) return kMalformedAnswer;
  token = std::move(found);
  return kOk;
}

std::string ReadKeptRefreshToken(std::string_view fileText) { return StringAt(ParseObject(fileText), "refreshToken"); }

}  // namespace klcr::detail
