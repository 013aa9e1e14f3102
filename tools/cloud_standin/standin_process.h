#pragma once
// Runs the cloud stand-in (standin.py) for a test: starts it on a free
// loopback port with a fixture, lets the test read its state and inject
// faults, and stops it when the object goes.
//
//   cloud_standin::StandinProcess cloud(cloud_standin::ExampleFixture());
//   KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud.BaseUrl());
//   cloud.SetFault("upload.articles", 500);
//   ... run the code under test ...
//   EXPECT_EQ(cloud.State()["companies"]["c-1001"]["pending"]["articles"].size(), 3u);
//
// Fault endpoints are the stand-in's route names: services, login, refresh,
// customers, token, upload.<kind> (upload.articles, upload.sie, ...),
// discard, complete, importState. The fixture format is shown by ExampleFixture().
#include <sys/types.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

namespace cloud_standin {

// Two users ("anna@example.se" with two companies, "utan@example.se" with
// none; both with the password "hemligt") and two companies: "c-1001"
// "Åsa Öberg AB" 556677-8899 and "c-1002" "Bergets Bygg AB" 5561234567.
nlohmann::json ExampleFixture();

// The bytes of a file the stand-in received (an SIE file of the pending import:
// {"fileName", "size", "contentBase64"}), decoded.
std::string ReceivedFileBytes(const nlohmann::json& file);

// kHttps: the stand-in serves HTTPS with a self-signed certificate made at start,
// which the cloud library refuses and only this object's own admin calls trust.
enum class Transport { kHttp, kHttps };

class StandinProcess {
 public:
  // Starts the stand-in; throws std::runtime_error when it does not come up.
  // It stops by itself after `maxSeconds` should this object never be destroyed.
  explicit StandinProcess(const nlohmann::json& fixture, int maxSeconds = 600, Transport transport = Transport::kHttp);
  ~StandinProcess();
  StandinProcess(const StandinProcess&) = delete;
  StandinProcess& operator=(const StandinProcess&) = delete;

  int Port() const { return port_; }
  // The service directory's address, for KLCRSDMiscFunc::SetBaseUrl or settings.ini.
  std::string BaseUrl() const;

  // Everything the stand-in holds (GET /admin/state).
  nlohmann::json State() const;
  // The next `count` requests of `endpoint` (all of them when count < 0) wait
  // `delaySeconds` and then, when `status` is not 0, fail with it.
  void SetFault(const std::string& endpoint, int status, double delaySeconds = 0, int count = -1) const;
  // The next `count` requests of `endpoint` (all when count < 0) are answered
  // 200 with `body` as it stands, in place of the service's answer.
  void SetRawAnswer(const std::string& endpoint, const std::string& body, int count = -1) const;
  // The next `count` requests of `endpoint` are answered as usual, the body in
  // `pieces` pieces with `pauseSeconds` before each but the first.
  void SetSlowAnswer(const std::string& endpoint, int pieces, double pauseSeconds, int count = -1) const;
  // The next `count` requests of `endpoint` are carried out, and their answers
  // held back `delaySeconds` (an answer lost to a client's time-out).
  void SetLateAnswer(const std::string& endpoint, double delaySeconds, int count = -1) const;
  // The next `count` requests of `endpoint` are carried out, and the connection
  // is closed with no answer.
  void SetDroppedAnswer(const std::string& endpoint, int count = -1) const;
  // The next `count` requests of `endpoint` are carried out, and the connection
  // is reset with no answer.
  void SetResetAnswer(const std::string& endpoint, int count = -1) const;
  // The next `count` requests of `endpoint` are carried out, and answered with
  // `status` in place of the service's answer, as a gateway that lost it does.
  void SetStatusAfterWork(const std::string& endpoint, int status, int count = -1) const;
  // The next `count` requests of `endpoint` have their bodies read at
  // `bytesPerSecond`, as over a slow, steady line.
  void SetSlowRequest(const std::string& endpoint, double bytesPerSecond, int count = -1) const;
  void ClearFaults() const;

 private:
  void PostFault(nlohmann::json fault, int count) const;

  pid_t pid_ = -1;
  int port_ = 0;
  std::string baseUrl_;
  std::string certificate_;  // the PEM file of an HTTPS stand-in
  std::filesystem::path folder_;
};

}  // namespace cloud_standin
