#include "klcr/answers.h"

#include <cstdint>
#include <nlohmann/json.hpp>

#include "klcr/klcr.h"
#include "klcr/service.h"

namespace klcr::detail {
namespace {

// What a read answer may be. The answers the client reads are small (the largest,
// a user's companies, some 150 bytes and 7 values a company) and nest three
// levels deep. A parsed document takes many times its text, most of all one of
// many tiny values (a 64 MiB answer of nested arrays took 5 GB, an 8 MiB list of
// empty companies 1 GB), so a longer, larger or deeper answer is refused unread.
// Within these a list takes 150 MB at the very most.
constexpr std::size_t kMaxReadAnswerBytes = 8u << 20;
constexpr std::size_t kMaxValues = 500'000;
constexpr int kMaxNesting = 16;

// Counts values and follows the nesting while the library checks the syntax,
// stopping at the first value too many or too deep, so nothing of a refused
// answer is ever built.
class SizeCheck final : public nlohmann::json::json_sax_t {
 public:
  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override { return Value() && ++depth_ <= kMaxNesting; }
  bool key(string_t&) override { return true; }
  bool end_object() override { return --depth_, true; }
  bool start_array(std::size_t) override { return Value() && ++depth_ <= kMaxNesting; }
  bool end_array() override { return --depth_, true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::json::exception&) override { return false; }

 private:
  bool Value() { return ++values_ <= kMaxValues; }
  std::size_t values_ = 0;
  int depth_ = 0;
};

// The body as a JSON object; a null value (never an object) when it is anything else.
nlohmann::json ParseObject(std::string_view body) {
  SizeCheck check;
  if (body.size() > kMaxReadAnswerBytes || !nlohmann::json::sax_parse(body, &check)) return {};
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

int ReadReceivedAnswer(std::string_view body, std::size_t sent) {
  const auto json = ParseObject(body);
  const auto received = json.find("received");
  if (received == json.end() || !received->is_number_unsigned()) return kMalformedAnswer;
  return received->get<std::uint64_t>() == sent ? kOk : kMalformedAnswer;
}

int ReadDiscardAnswer(std::string_view body) {
  const auto json = ParseObject(body);
  const auto discarded = json.find("discarded");
  return discarded != json.end() && discarded->is_boolean() ? kOk : kMalformedAnswer;
}

int ReadCompletedAnswer(std::string_view body, bool& completed) {
  completed = false;
  const auto json = ParseObject(body);
  const auto found = json.find("completed");
  if (found == json.end() || !found->is_boolean()) return kMalformedAnswer;
  completed = found->get<bool>();
  return kOk;
}

std::string ReadKeptRefreshToken(std::string_view fileText) { return StringAt(ParseObject(fileText), "refreshToken"); }

}  // namespace klcr::detail
