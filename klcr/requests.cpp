// The request classes other than the record uploads, and the texts of the codes.
#include <filesystem>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "klcr/answers.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/files.h"
#include "platform/text.h"

using klcr::detail::Answer;

namespace {

std::string Base64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                       static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  if (i < bytes.size()) {
    const bool two = i + 1 < bytes.size();
    const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | (two ? static_cast<unsigned char>(bytes[i + 1]) << 8 : 0);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += two ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string WithCode(const char* text, int code) { return text + std::to_string(code) + ")."; }

}  // namespace

// ---------------------------------------------------------------------------
// Bases

int KLCRestBase::Call() { return klcr::kNothingToCall; }

std::string KLCRestBase::GetErrorText(int code, int /*language*/) {
  switch (code) {
    case klcr::kOk: return "Åtgärden lyckades.";
    case klcr::kBadRequest: return "Tessal Molnix tog inte emot uppgifterna (felaktig begäran).";
    case klcr::kUnauthorized: return "Inloggningen misslyckades. Kontrollera e-postadress och lösenord.";
    case klcr::kForbidden: return "Du saknar behörighet till företaget i Tessal Molnix.";
    case klcr::kNotFound: return "Det efterfrågade finns inte i Tessal Molnix.";
    case klcr::kConflict: return "Det finns ingen påbörjad överföring att avsluta i Tessal Molnix.";
    case 413: return "Uppgifterna är för stora för att tas emot av Tessal Molnix.";
    case klcr::kServerError: return "Ett fel uppstod hos Tessal Molnix. Försök igen senare.";
    case klcr::kServiceUnavailable: return "Tessal Molnix är inte tillgängligt just nu. Försök igen senare.";
    case klcr::kConnectionFailed:
      return "Det gick inte att ansluta till Tessal Molnix. Kontrollera internetanslutningen.";
    case klcr::kTimedOut: return "Tessal Molnix svarade inte inom den angivna tiden.";
    case klcr::kMalformedAnswer: return "Svaret från Tessal Molnix kunde inte tolkas.";
    case klcr::kNotLoggedIn: return "Du är inte inloggad. Logga in med e-postadress och lösenord.";
    case klcr::kSecureConnectionFailed: return "En säker anslutning till Tessal Molnix kunde inte upprättas.";
    case klcr::kMissingInput: return "Uppgifter saknas för anropet till Tessal Molnix.";
    case klcr::kFileUnreadable: return "Filen som skulle skickas kunde inte läsas.";
    case klcr::kTransferFailed: return "Överföringen till Tessal Molnix avbröts.";
    case klcr::kNothingToCall: return "Inget anrop har angetts.";
    case klcr::kRecordNotAccepted:
      return "Uppgifterna innehåller ett fält som Tessal Molnix inte tar emot (ogiltiga tecken eller för lång text).";
    case klcr::kCompletionUnknown:
      return "Svaret från Tessal Molnix uteblev, och det gick inte att få veta om överföringen avslutades.";
  }
  if (code >= 400 && code < 500) return WithCode("Tessal Molnix avvisade anropet (felkod ", code);
  if (code >= 500 && code < 600) return WithCode("Ett fel uppstod hos Tessal Molnix (felkod ", code);
  return WithCode("Okänt fel (felkod ", code);
}

bool KLCRestApiToken::SetApiToken(const std::string& token) {
  apiToken_ = token;
  return !token.empty();
}

bool KLCRUsesUserData::SetUsername(const std::string& email) {
  username_ = email;
  return !platform::Trim(email).empty();
}

bool KLCRUsesUserData::SetPassword(const std::string& password, bool keep) {
  if (platform::Trim(username_).empty() || password.empty()) return false;
  klcr::detail::RememberPassword(username_, password, keep);
  return true;
}

int KLCRUsesUserData::Authenticate(std::string& accessToken) {
  return klcr::detail::AccessToken(username_, accessToken);
}

int KLCRUsesUserData::Call() {
  std::string accessToken;
  return Authenticate(accessToken);
}

bool KLCRUsesCredentials::SetCustomerId(const std::string& id) {
  customerId_ = id;
  return !id.empty();
}

// ---------------------------------------------------------------------------
// Service directory

namespace KLCR_ServiceDirectory {

bool CGetService::SetService(const std::string& name) {
  service_ = name;
  return !name.empty();
}

int CGetService::Call() {
  uri_.clear();
  if (service_.empty()) return klcr::kMissingInput;
  return klcr::detail::LookupService(service_, uri_);
}

}  // namespace KLCR_ServiceDirectory

// ---------------------------------------------------------------------------
// Migration requests

namespace KLCR_MolnixMigration {

std::string KLCRReturnsErrorInfo::GetFieldErrorText(int code, int /*language*/) {
  switch (code) {
    case klcr::kFieldOk: return "";
    case klcr::kFieldTooLong: return "Ett fält innehåller fler tecken än Tessal Molnix tillåter.";
    case klcr::kFieldRequiredMissing: return "Obligatoriska uppgifter saknas.";
    case klcr::kFieldBadFormat: return "Ett fält innehåller ogiltiga tecken.";
    case klcr::kFieldAccountCodeMissing: return "Konteringskod saknas.";
    case klcr::kFieldNameMissing: return "Namn saknas.";
    case klcr::kFieldPostalCodeMissing: return "Postnummer saknas.";
    case klcr::kFieldCityMissing: return "Ort saknas.";
    case klcr::kFieldCustomerNumberMissing: return "Kundnummer saknas.";
    case klcr::kFieldSupplierNumberMissing: return "Leverantörsnummer saknas.";
    case klcr::kFieldDueDateMissing: return "Förfallodatum saknas.";
    case klcr::kFieldNumberMissing: return "Nummer eller kod saknas.";
    case klcr::kFieldBadDate: return "Ogiltigt datum.";
    case klcr::kFieldBadAmount: return "Ogiltigt belopp.";
    case klcr::kFieldDuplicateKey: return "Numret finns redan på en annan post.";
    case klcr::kFieldArticleNameMissing: return "Benämning saknas.";
  }
  return WithCode("Okänt fel (felkod ", code);
}

int CGetCustomers::Call() {
  customers_.clear();
  firstName_.clear();
  lastName_.clear();
  Answer answer = klcr::detail::SendAsUser(Username(), "GET", "/customers");
  if (answer.code != klcr::kOk) return answer.code;
  klcr::detail::CustomersAnswer read;
  if (const int code = klcr::detail::ReadCustomersAnswer(answer.body, read); code != klcr::kOk) return code;
  for (auto& c : read.customers) {
    customers_.push_back({std::move(c.registrationNumber), std::move(c.name), std::move(c.id), std::move(c.countryId),
                          c.status, c.number});
  }
  firstName_ = std::move(read.firstName);
  lastName_ = std::move(read.lastName);
  return klcr::kOk;
}

const CGetCustomers::Customer* CGetCustomers::At(int index) const {
  return index >= 0 && static_cast<std::size_t>(index) < customers_.size() ? &customers_[index] : nullptr;
}

int CGetCustomers::GetNumberOfCustomers() const { return static_cast<int>(customers_.size()); }
std::string CGetCustomers::GetFirstName(int index) const { return At(index) ? firstName_ : std::string{}; }
std::string CGetCustomers::GetLastName(int index) const { return At(index) ? lastName_ : std::string{}; }
std::string CGetCustomers::GetCustomerRegistrationNumber(int index) const {
  return At(index) ? At(index)->registrationNumber : std::string{};
}
std::string CGetCustomers::GetName(int index) const { return At(index) ? At(index)->name : std::string{}; }
std::string CGetCustomers::GetId(int index) const { return At(index) ? At(index)->id : std::string{}; }
std::string CGetCustomers::GetCountryId(int index) const { return At(index) ? At(index)->countryId : std::string{}; }
int CGetCustomers::GetCustomerStatus(int index) const { return At(index) ? At(index)->status : 0; }
int CGetCustomers::GetNumber(int index) const { return At(index) ? At(index)->number : 0; }

int CGetToken::Call() {
  token_.clear();
  if (CustomerId().empty()) return klcr::kMissingInput;
  Answer answer =
      klcr::detail::SendAsUser(Username(), "POST", "/customers/" + klcr::detail::Escape(CustomerId()) + "/token", "{}");
  if (answer.code != klcr::kOk) return answer.code;
  return klcr::detail::ReadApiTokenAnswer(answer.body, token_);
}

int CDiscard::Call() {
  const Answer answer = klcr::detail::SendWithApiToken(ApiToken(), "POST", "/migration/discard", "{}");
  return answer.code != klcr::kOk
             ? answer.code
             : klcr::detail::NotedAnswer(klcr::detail::ReadDiscardAnswer(answer.body), "POST /migration/discard");
}

std::string CCompleteExport::NewImportId() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::random_device random;
  std::string id;
  for (int i = 0; i < 4; ++i) {  // 128 random bits
    for (unsigned value = random(), digit = 0; digit < 4; ++digit, value >>= 8) {
      id += kHex[(value >> 4) & 15];
      id += kHex[value & 15];
    }
  }
  return id;
}

bool CCompleteExport::SetImportId(const std::string& id) {
  importId_ = id;
  return !id.empty();
}

int CCompleteExport::Call() {
  if (importId_.empty()) importId_ = NewImportId();
  const Answer answer = klcr::detail::SendWithApiToken(ApiToken(), "POST", "/migration/complete",
                                                       nlohmann::json{{"importId", importId_}}.dump(
                                                           -1, ' ', false, nlohmann::json::error_handler_t::replace));
  bool completed = false;
  if (answer.code == klcr::kOk) {
    const int code = klcr::detail::ReadCompletedAnswer(answer.body, completed);
    return klcr::detail::NotedAnswer(code == klcr::kOk && completed ? klcr::kOk : klcr::kMalformedAnswer,
                                     "POST /migration/complete");
  }
  if (!answer.lost && !klcr::detail::IsGatewayStatus(answer.code)) return answer.code;
  // The request may have reached the service and its answer been lost on the way
  // back (a gateway's answer is not the service's), or the service may still be at
  // work on it: it is asked, a few times and spaced, whether this import was
  // completed. Only "completed" decides, so a user is never told that a completion
  // failed which the service may have carried out.
  CGetImportState state;
  state.SetApiToken(ApiToken());
  state.SetImportId(importId_);
  for (const auto pause : klcr::detail::StateQueryPauses()) {
    std::this_thread::sleep_for(pause);
    int code = state.Call();
    if (code == klcr::kUnauthorized && renewToken_) {
      // The token ran out while the service was asked: with a new one the query goes again at once.
      std::string token;
      if (renewToken_(token) == klcr::kOk) {
        SetApiToken(token);
        state.SetApiToken(token);
        code = state.Call();
      }
    }
    if (code == klcr::kOk && state.IsCompleted()) {
      klcr::detail::Log("Överföringen var avslutad, fast svaret uteblev");
      return klcr::kOk;
    }
  }
  klcr::detail::Log("Det gick inte att få veta om överföringen avslutades (svaret uteblev, felkod " +
                    std::to_string(answer.code) + ")");
  return klcr::kCompletionUnknown;
}

bool CGetImportState::SetImportId(const std::string& id) {
  importId_ = id;
  return !id.empty();
}

int CGetImportState::Call() {
  completed_ = false;
  if (importId_.empty()) return klcr::kMissingInput;
  const Answer answer =
      klcr::detail::SendWithApiToken(ApiToken(), "GET", "/migration/imports/" + klcr::detail::Escape(importId_));
  if (answer.code != klcr::kOk) return answer.code;
  bool completed = false;
  const int code = klcr::detail::NotedAnswer(klcr::detail::ReadCompletedAnswer(answer.body, completed),
                                             "GET /migration/imports");
  completed_ = code == klcr::kOk && completed;
  return code;
}

bool CUploadSieFile::SetFilePath(const std::string& path) {
  filePath_ = path;
  return !path.empty();
}

bool CUploadSieFile::SetFilePathPreviousYear(const std::string& path) {
  filePathPreviousYear_ = path;
  return true;
}

int CUploadSieFile::Call() {
  if (filePath_.empty()) return klcr::kMissingInput;
  nlohmann::json body{{"currentYear", nullptr}, {"previousYear", nullptr}};
  std::size_t files = 0;
  for (const auto& [member, path] : {std::pair{"currentYear", &filePath_}, {"previousYear", &filePathPreviousYear_}}) {
    if (path->empty()) continue;
    const auto bytes = platform::ReadWholeFile(*path);
    if (!bytes) {
      klcr::detail::Log("SIE-filen kunde inte läsas: " + *path);
      return klcr::kFileUnreadable;
    }
    body[member] = {{"fileName", std::filesystem::path(*path).filename().string()}, {"content", Base64(*bytes)}};
    ++files;
  }
  return klcr::detail::PutUpload(ApiToken(), "sie", body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                                 files);
}

}  // namespace KLCR_MolnixMigration
