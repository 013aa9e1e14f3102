#pragma once
// The library's inside: configuration, the HTTP transport, the service
// directory and the users' sessions. Internal to klcr.
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace klcr::detail {

struct Answer {
  int code = 0;  // 0, an HTTP status of a refusal, or a transport code of klcr::
  std::string body;
  // No whole answer came although the request may have reached the service: a
  // time-out, or a connection that broke or closed once the request was sent.
  bool lost = false;
};

// A status of a gateway between the client and the service (bad gateway,
// unavailable, gateway time-out): the request may have been carried out behind
// it, and the service's own answer lost.
inline bool IsGatewayStatus(int code) { return code == 502 || code == 503 || code == 504; }

// How long a request may take. Most answers are small: the whole exchange must
// end within the time-out, so a service that drips its answer cannot hold the
// program. An upload may rightly take longer on a slow line: it is cut only when
// nothing moves for as long as the time-out.
enum class Wait { kWholeRequest, kWhileMoving };

// Sends one request. `authorization` is the whole header value ("Bearer ...")
// or empty. Plain http is refused except to this computer (loopback).
Answer Send(std::string_view method, const std::string& url, const std::string& body,
            const std::string& authorization = {}, Wait wait = Wait::kWholeRequest);

// The address of a service of the service directory.
int LookupService(const std::string& name, std::string& uri);
// The address of the migration API (a service of the directory), kept for the run.
int ApiAddress(std::string& address);

// Whether a token from an answer can be sent back as it stands: not empty, and
// visible ASCII only, so it can never break a header line or the request.
bool IsTokenText(std::string_view token);

// Percent-encodes a path segment or query value.
std::string Escape(std::string_view text);

// A request of a logged-in user to the migration API; logs in, refreshes and
// retries once after a 401 as needed.
Answer SendAsUser(const std::string& email, std::string_view method, const std::string& path,
                  const std::string& body = {});
// A request with a company's API token to the migration API.
Answer SendWithApiToken(const std::string& apiToken, std::string_view method, const std::string& path,
                        const std::string& body = {}, Wait wait = Wait::kWholeRequest);
// `code` as it stands; a malformed answer also gets a line in the log, as the
// request's own line shows only the status.
int NotedAnswer(int code, std::string_view request);

// Uploads one kind; done only when the service acknowledges the `sent` records.
int PutUpload(const std::string& apiToken, std::string_view kind, const std::string& body, std::size_t sent);

void RememberPassword(const std::string& email, const std::string& password, bool keep);
// A bearer access token of the user: the run's, or by logging in with the
// run's password, or by the kept refresh credential.
int AccessToken(const std::string& email, std::string& token);

// The pauses before the queries of an import's state that follow a completion
// whose answer was lost: one query after each pause. By default 2, 4, 8 and 16
// seconds, half a minute for a service still at work to finish. Tests shorten them.
void SetStateQueryPauses(std::vector<std::chrono::milliseconds> pauses);
std::vector<std::chrono::milliseconds> StateQueryPauses();

// Forgets the sessions and the looked-up addresses, as a new run of the
// program starts without them (the kept credentials stay). For tests.
void ForgetRunState();

// One line in the library's log when a log folder is set. Never give it a
// password, a token or a request body.
void Log(std::string_view text);

}  // namespace klcr::detail
