#include "tools/cloud_standin/standin_process.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "platform/folders.h"

extern char** environ;

namespace cloud_standin {
namespace {

size_t Collect(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

// One admin request; throws when the stand-in does not answer 200. An HTTPS
// stand-in is trusted through its own certificate, never without a check.
std::string Request(const std::string& certificate, const std::string& method, const std::string& url,
                    const std::string& body = {}) {
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  std::string answer;
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  if (!certificate.empty()) curl_easy_setopt(curl.get(), CURLOPT_CAINFO, certificate.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_CUSTOMREQUEST, method.c_str());
  if (method != "GET") curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &answer);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 60L);
  long status = 0;
  if (curl_easy_perform(curl.get()) != CURLE_OK ||
      (curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status), status != 200))
    throw std::runtime_error("cloud stand-in: " + method + " " + url + " failed");
  return answer;
}

// The first line the child writes, within `seconds`.
std::string ReadFirstLine(int fd, int seconds) {
  std::string line;
  pollfd watched{fd, POLLIN, 0};
  while (line.find('\n') == std::string::npos && ::poll(&watched, 1, seconds * 1000) > 0) {
    char buffer[256];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  return line.substr(0, line.find('\n'));
}

}  // namespace

nlohmann::json ExampleFixture() {
  return nlohmann::json::parse(R"({
    "users": [
      {"email": "anna@example.se", "password": "hemligt", "firstName": "Anna", "lastName": "Åberg",
       "companies": ["c-1001", "c-1002"]},
      {"email": "utan@example.se", "password": "hemligt", "firstName": "Utan", "lastName": "Företag",
       "companies": []}
    ],
    "companies": [
      {"id": "c-1001", "name": "Åsa Öberg AB", "registrationNumber": "556677-8899", "countryId": "SE",
       "status": 1, "number": 1001},
      {"id": "c-1002", "name": "Bergets Bygg AB", "registrationNumber": "5561234567", "countryId": "SE",
       "status": 1, "number": 1002}
    ]
  })");
}

StandinProcess::StandinProcess(const nlohmann::json& fixture, int maxSeconds, Transport transport) {
  const auto folder = platform::MakeUniqueFolder(platform::TempFolder(), "cloud-standin-");
  if (!folder) throw std::runtime_error("cloud stand-in: no temporary folder");
  folder_ = *folder;
  const auto fixturePath = folder_ / "fixture.json";
  std::ofstream(fixturePath) << fixture.dump();

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("cloud stand-in: no pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  const std::string maxText = std::to_string(maxSeconds);
  const std::string fixtureText = fixturePath.string();
  const char* argv[] = {CLOUD_STANDIN_PYTHON, CLOUD_STANDIN_SCRIPT, "--fixture", fixtureText.c_str(),
                        "--max-seconds", maxText.c_str(), transport == Transport::kHttps ? "--tls" : nullptr,
                        nullptr};
  const int spawned = posix_spawn(&pid_, CLOUD_STANDIN_PYTHON, &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  const std::string line = spawned == 0 ? ReadFirstLine(pipeFds[0], 20) : std::string{};
  ::close(pipeFds[0]);
  const auto announced = nlohmann::json::parse(line, nullptr, false);
  if (spawned != 0 || !announced.is_object() || !announced.contains("port")) {
    if (spawned == 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    std::filesystem::remove_all(folder_);
    throw std::runtime_error("cloud stand-in did not start: " + line);
  }
  port_ = announced["port"].get<int>();
  baseUrl_ = announced.value("baseUrl", "");
  certificate_ = announced.value("certificate", "");
}

StandinProcess::~StandinProcess() {
  ::kill(pid_, SIGTERM);
  // A stand-in that does not stop within seconds is killed: a test never hangs on it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::error_code error;
  std::filesystem::remove_all(folder_, error);
}

std::string ReceivedFileBytes(const nlohmann::json& file) {
  static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const std::string text = file.at("contentBase64");
  std::string bytes;
  unsigned value = 0;
  int bits = 0;
  for (const char c : text) {
    if (c == '=') break;
    const std::size_t digit = kAlphabet.find(c);
    if (digit == std::string_view::npos) throw std::runtime_error("cloud stand-in: not base64: " + text);
    value = value << 6 | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<char>((value >> bits) & 0xFF));
    }
  }
  return bytes;
}

std::string StandinProcess::BaseUrl() const { return baseUrl_; }

nlohmann::json StandinProcess::State() const {
  return nlohmann::json::parse(Request(certificate_, "GET", BaseUrl() + "/admin/state"));
}

void StandinProcess::SetFault(const std::string& endpoint, int status, double delaySeconds, int count) const {
  PostFault({{"endpoint", endpoint}, {"status", status}, {"delay", delaySeconds}}, count);
}

void StandinProcess::SetRawAnswer(const std::string& endpoint, const std::string& body, int count) const {
  PostFault({{"endpoint", endpoint}, {"body", body}}, count);
}

void StandinProcess::SetSlowAnswer(const std::string& endpoint, int pieces, double pauseSeconds, int count) const {
  PostFault({{"endpoint", endpoint}, {"pieces", pieces}, {"pause", pauseSeconds}}, count);
}

void StandinProcess::SetLateAnswer(const std::string& endpoint, double delaySeconds, int count) const {
  PostFault({{"endpoint", endpoint}, {"delay", delaySeconds}, {"after", true}}, count);
}

void StandinProcess::SetDroppedAnswer(const std::string& endpoint, int count) const {
  PostFault({{"endpoint", endpoint}, {"drop", true}}, count);
}

void StandinProcess::SetResetAnswer(const std::string& endpoint, int count) const {
  PostFault({{"endpoint", endpoint}, {"reset", true}}, count);
}

void StandinProcess::SetStatusAfterWork(const std::string& endpoint, int status, int count) const {
  PostFault({{"endpoint", endpoint}, {"status", status}, {"after", true}}, count);
}

void StandinProcess::SetSlowRequest(const std::string& endpoint, double bytesPerSecond, int count) const {
  PostFault({{"endpoint", endpoint}, {"rate", bytesPerSecond}}, count);
}

void StandinProcess::PostFault(nlohmann::json fault, int count) const {
  fault["count"] = count >= 0 ? nlohmann::json(count) : nlohmann::json(nullptr);
  Request(certificate_, "POST", BaseUrl() + "/admin/faults", fault.dump());
}

void StandinProcess::ClearFaults() const { Request(certificate_, "DELETE", BaseUrl() + "/admin/faults"); }

}  // namespace cloud_standin
