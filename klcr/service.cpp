#include "klcr/service.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <vector>

#include "klcr/answers.h"
#include "klcr/klcr.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/text.h"

namespace klcr::detail {
namespace {

constexpr int kDefaultTimeoutSeconds = 60;
constexpr std::size_t kMaxAnswerBytes = 64u << 20;
constexpr const char* kApiServiceName = "Api.MolnixMigration";

struct Session {
  std::string password;  // only until the login it was given for succeeds
  bool keep = false;
  std::string accessToken;
  std::string refreshToken;
};

struct State {
  std::mutex mutex;
  std::string iniPath;
  std::string logPath;
  int timeoutSeconds = kDefaultTimeoutSeconds;
  std::string baseUrl = "https://sd.molnix.tessal.se";
  std::string countryCode = "SE";
  std::map<std::string, std::string> apiAddresses;  // by directory address and country
  std::map<std::string, Session> sessions;          // by lower-cased e-mail
  std::vector<std::chrono::milliseconds> stateQueryPauses{std::chrono::seconds(2), std::chrono::seconds(4),
                                                          std::chrono::seconds(8), std::chrono::seconds(16)};
};

State& Shared() {
  static State state;
  return state;
}

struct CurlGlobal {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

size_t CollectAnswer(char* data, size_t size, size_t count, void* target) {
  auto* body = static_cast<std::string*>(target);
  if (body->size() + size * count > kMaxAnswerBytes) return 0;
  body->append(data, size * count);
  return size * count;
}

bool IsLoopbackHost(std::string_view host) {
  return host == "127.0.0.1" || host == "localhost" || host == "[::1]" || host == "::1";
}

// Plain http is allowed only to this computer: tests and the demo run a local stand-in.
bool IsAllowedAddress(const std::string& url) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
  if (curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
  char* scheme = nullptr;
  char* host = nullptr;
  curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0);
  curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0);
  const bool allowed = scheme && host &&
                       (std::string_view(scheme) == "https" || (std::string_view(scheme) == "http" && IsLoopbackHost(host)));
  curl_free(scheme);
  curl_free(host);
  return allowed;
}

int CodeOfCurlError(CURLcode error) {
  switch (error) {
    case CURLE_OPERATION_TIMEDOUT: return kTimedOut;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return kConnectionFailed;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR: return kSecureConnectionFailed;
    case CURLE_GOT_NOTHING:
    case CURLE_WRITE_ERROR: return kMalformedAnswer;
    default: return kTransferFailed;
  }
}

// The path and query of a url, for the log: never the host's credentials or anything else.
std::string_view PathForLog(std::string_view url) {
  const auto scheme = url.find("://");
  const auto path = url.find('/', scheme == std::string_view::npos ? 0 : scheme + 3);
  return path == std::string_view::npos ? std::string_view("/") : url.substr(path);
}

std::string Lower(const std::string& email) { return platform::ToLower(platform::Trim(email)); }

std::filesystem::path CredentialPath(const std::string& iniPath, const std::string& email) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string name = "klcr-";
  for (unsigned char c : Lower(email)) {
    name += kHex[c >> 4];
    name += kHex[c & 15];
  }
  return std::filesystem::path(iniPath) / (name + ".cred");
}

std::string KeptRefreshToken(const std::string& iniPath, const std::string& email) {
  if (iniPath.empty()) return {};
  const auto text = platform::ReadWholeFile(CredentialPath(iniPath, email));
  return text ? ReadKeptRefreshToken(*text) : std::string{};
}

// Written to a new file of mode 0600 and renamed over the old one, so no other
// user can ever read it and a crash leaves the old credential or the new one.
void KeepRefreshToken(const std::string& iniPath, const std::string& email, const std::string& refreshToken) {
  if (iniPath.empty()) return;
  const auto target = CredentialPath(iniPath, email);
  auto temporary = target;
  temporary += ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    Log("Inloggningsuppgifterna kunde inte sparas i " + iniPath);
    return;
  }
  const std::string text = nlohmann::json{{"email", Lower(email)}, {"refreshToken", refreshToken}}.dump(
      -1, ' ', false, nlohmann::json::error_handler_t::replace);
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  std::error_code error;
  if (written) std::filesystem::rename(temporary, target, error);
  if (!written || error) {
    std::filesystem::remove(temporary, error);
    Log("Inloggningsuppgifterna kunde inte sparas i " + iniPath);
  }
}

void ForgetKeptRefreshToken(const std::string& iniPath, const std::string& email) {
  if (iniPath.empty()) return;
  std::error_code error;
  std::filesystem::remove(CredentialPath(iniPath, email), error);
}

// Logs in with a password or a refresh token; on success the session holds the new tokens.
int ObtainTokens(const std::string& email, Session& session) {
  std::string address;
  if (const int code = ApiAddress(address); code != kOk) return code;
  const bool withPassword = !session.password.empty();
  nlohmann::json request{{"email", platform::Trim(email)}};
  if (withPassword) {
    request["password"] = session.password;
  } else {
    request["refreshToken"] = session.refreshToken;
  }
  // A text that is not UTF-8 (an e-mail from the command line) goes with U+FFFD in
  // place of its odd bytes: the service refuses it like any unknown user.
  Answer answer = Send("POST", address + (withPassword ? "/auth/login" : "/auth/refresh"),
                       request.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  if (answer.code != kOk) return answer.code;
  Tokens tokens;
  if (const int code = ReadTokensAnswer(answer.body, tokens); code != kOk) return code;
  session.password.clear();
  session.accessToken = std::move(tokens.access);
  session.refreshToken = std::move(tokens.refresh);
  return kOk;
}

}  // namespace

Answer Send(std::string_view method, const std::string& url, const std::string& body,
            const std::string& authorization, Wait wait) {
  static CurlGlobal global;
  int timeout;
  {
    std::lock_guard lock(Shared().mutex);
    timeout = Shared().timeoutSeconds;
  }
  Answer answer;
  if (!IsAllowedAddress(url)) {
    answer.code = kSecureConnectionFailed;
    Log("Adressen avvisades (endast https, eller http till denna dator): " + std::string(PathForLog(url)));
    return answer;
  }
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  curl_slist* headers = curl_slist_append(nullptr, "Accept: application/json");
  headers = curl_slist_append(headers, "Content-Type: application/json; charset=utf-8");
  if (!authorization.empty()) headers = curl_slist_append(headers, ("Authorization: " + authorization).c_str());
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, std::string(method).c_str());
  if (method != "GET") {
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
  }
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeout));
  if (wait == Wait::kWholeRequest) {
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, static_cast<long>(timeout));
  } else {
    // A register of many thousand records over a slow line may take longer to
    // send, and must, as long as it moves. Less than a byte a second for that
    // long is a request that hangs.
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeout));
  }
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, CollectAnswer);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &answer.body);
  const auto started = std::chrono::steady_clock::now();
  const CURLcode result = curl_easy_perform(handle);
  curl_slist_free_all(headers);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  if (result != CURLE_OK) {
    answer.code = CodeOfCurlError(result);
    answer.lost = result == CURLE_OPERATION_TIMEDOUT || result == CURLE_GOT_NOTHING || result == CURLE_RECV_ERROR ||
                  result == CURLE_SEND_ERROR || result == CURLE_PARTIAL_FILE;
  } else if (status < 200 || status > 299) {
    answer.code = static_cast<int>(status);
  }
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
  Log(std::string(method) + " " + std::string(PathForLog(url)) + " -> " + std::to_string(answer.code) +
      (result != CURLE_OK ? std::string(" (") + curl_easy_strerror(result) + ")" : std::string()) + ", " +
      std::to_string(milliseconds) + " ms");
  return answer;
}

bool IsTokenText(std::string_view token) {
  if (token.empty()) return false;
  for (unsigned char c : token)
    if (c < 0x21 || c > 0x7e) return false;
  return true;
}

std::string Escape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return escaped;
}

int LookupService(const std::string& name, std::string& uri) {
  std::string base, country;
  {
    std::lock_guard lock(Shared().mutex);
    base = Shared().baseUrl;
    country = Shared().countryCode;
  }
  while (!base.empty() && base.back() == '/') base.pop_back();
  Answer answer = Send("GET", base + "/services/" + Escape(name) + "?country=" + Escape(country), {});
  if (answer.code != kOk) return answer.code;
  std::string found;
  if (const int code = ReadServiceAnswer(answer.body, found); code != kOk) return code;
  uri = std::move(found);
  return kOk;
}

int ApiAddress(std::string& address) {
  std::string key;
  {
    std::lock_guard lock(Shared().mutex);
    key = Shared().baseUrl + "|" + Shared().countryCode;
    if (const auto found = Shared().apiAddresses.find(key); found != Shared().apiAddresses.end()) {
      address = found->second;
      return kOk;
    }
  }
  std::string uri;
  if (const int code = LookupService(kApiServiceName, uri); code != kOk) return code;
  while (!uri.empty() && uri.back() == '/') uri.pop_back();
  std::lock_guard lock(Shared().mutex);
  Shared().apiAddresses[key] = uri;
  address = uri;
  return kOk;
}

void RememberPassword(const std::string& email, const std::string& password, bool keep) {
  std::lock_guard lock(Shared().mutex);
  Shared().sessions[Lower(email)] = Session{password, keep, {}, {}};
}

int AccessToken(const std::string& email, std::string& token) {
  if (platform::Trim(email).empty()) return kMissingInput;
  // The session is worked on as a copy: the network calls run without the lock.
  Session session;
  std::string iniPath;
  {
    std::lock_guard lock(Shared().mutex);
    iniPath = Shared().iniPath;
    if (const auto found = Shared().sessions.find(Lower(email)); found != Shared().sessions.end()) session = found->second;
  }
  if (!session.accessToken.empty()) {
    token = session.accessToken;
    return kOk;
  }
  bool fromKeptFile = false;
  if (session.password.empty() && session.refreshToken.empty()) {
    session.refreshToken = KeptRefreshToken(iniPath, email);
    session.keep = fromKeptFile = !session.refreshToken.empty();
    if (!fromKeptFile) return kNotLoggedIn;
  }
  const int code = ObtainTokens(email, session);
  if (code == kUnauthorized && fromKeptFile) ForgetKeptRefreshToken(iniPath, email);
  if (code != kOk) return code;
  if (session.keep) KeepRefreshToken(iniPath, email, session.refreshToken);
  std::lock_guard lock(Shared().mutex);
  Shared().sessions[Lower(email)] = session;
  token = session.accessToken;
  return kOk;
}

Answer SendAsUser(const std::string& email, std::string_view method, const std::string& path,
                  const std::string& body) {
  Answer answer;
  std::string address;
  if ((answer.code = ApiAddress(address)) != kOk) return answer;
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string token;
    if ((answer.code = AccessToken(email, token)) != kOk) return answer;
    answer = Send(method, address + path, body, "Bearer " + token);
    if (answer.code != kUnauthorized) break;
    // The access token has run out or was made by an earlier service: drop it and log in anew.
    std::lock_guard lock(Shared().mutex);
    if (const auto found = Shared().sessions.find(Lower(email)); found != Shared().sessions.end())
      found->second.accessToken.clear();
  }
  return answer;
}

Answer SendWithApiToken(const std::string& apiToken, std::string_view method, const std::string& path,
                        const std::string& body, Wait wait) {
  Answer answer;
  if (apiToken.empty()) {
    answer.code = kMissingInput;
    return answer;
  }
  std::string address;
  if ((answer.code = ApiAddress(address)) != kOk) return answer;
  return Send(method, address + path, body, "Bearer " + apiToken, wait);
}

int PutUpload(const std::string& apiToken, std::string_view kind, const std::string& body, std::size_t sent) {
  const std::string path = "/migration/" + std::string(kind);
  Answer answer = SendWithApiToken(apiToken, "PUT", path, body, Wait::kWhileMoving);
  if (answer.lost) {
    // The service may hold the kind already. An upload replaces its kind in the
    // pending import, so sending it once more is safe; only a second loss counts.
    Log("Svaret uteblev, skickas en gång till: PUT " + path);
    answer = SendWithApiToken(apiToken, "PUT", path, body, Wait::kWhileMoving);
  }
  return answer.code != kOk ? answer.code : NotedAnswer(ReadReceivedAnswer(answer.body, sent), "PUT " + path);
}

int NotedAnswer(int code, std::string_view request) {
  if (code == kMalformedAnswer) Log("Svaret kunde inte tolkas: " + std::string(request));
  return code;
}

void SetStateQueryPauses(std::vector<std::chrono::milliseconds> pauses) {
  std::lock_guard lock(Shared().mutex);
  Shared().stateQueryPauses = std::move(pauses);
}

std::vector<std::chrono::milliseconds> StateQueryPauses() {
  std::lock_guard lock(Shared().mutex);
  return Shared().stateQueryPauses;
}

void ForgetRunState() {
  std::lock_guard lock(Shared().mutex);
  Shared().sessions.clear();
  Shared().apiAddresses.clear();
}

void Log(std::string_view text) {
  std::string folder;
  {
    std::lock_guard lock(Shared().mutex);
    folder = Shared().logPath;
  }
  platform::AppendLogLine(folder, "klcr_logg.txt", text);
}

}  // namespace klcr::detail

using klcr::detail::Shared;

bool KLCRMiscFunc::SetIniPath(const std::string& folder) {
  std::lock_guard lock(Shared().mutex);
  Shared().iniPath = folder;
  return true;
}

bool KLCRMiscFunc::SetTimeout(int seconds) {
  if (seconds <= 0) return false;
  std::lock_guard lock(Shared().mutex);
  Shared().timeoutSeconds = seconds;
  return true;
}

bool KLCRMiscFunc::SetLoggPath(const std::string& folder) {
  std::lock_guard lock(Shared().mutex);
  Shared().logPath = folder;
  return true;
}

bool KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(const std::string& url) {
  if (url.empty()) return false;
  std::lock_guard lock(Shared().mutex);
  Shared().baseUrl = url;
  return true;
}

bool KLCR_ServiceDirectory::KLCRSDMiscFunc::SetCountryCode(const std::string& code) {
  if (code.empty()) return false;
  std::lock_guard lock(Shared().mutex);
  Shared().countryCode = code;
  return true;
}

std::string KLCRMiscFunc::GetIniPath() {
  std::lock_guard lock(Shared().mutex);
  return Shared().iniPath;
}

int KLCRMiscFunc::GetTimeout() {
  std::lock_guard lock(Shared().mutex);
  return Shared().timeoutSeconds;
}

std::string KLCRMiscFunc::GetLoggPath() {
  std::lock_guard lock(Shared().mutex);
  return Shared().logPath;
}

std::string KLCR_ServiceDirectory::KLCRSDMiscFunc::GetBaseUrl() {
  std::lock_guard lock(Shared().mutex);
  return Shared().baseUrl;
}

std::string KLCR_ServiceDirectory::KLCRSDMiscFunc::GetCountryCode() {
  std::lock_guard lock(Shared().mutex);
  return Shared().countryCode;
}
