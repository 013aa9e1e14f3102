// Round trips through the library against the cloud stand-in.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using namespace KLCR_MolnixMigration;
using cloud_standin::StandinProcess;
namespace fs = std::filesystem;

const std::string kUser = "anna@example.se";
const std::string kCompanyName = "Åsa Öberg AB";
// Four queries of an import's state after a lost completion answer, close together.
const std::vector<std::chrono::milliseconds> kShortPauses(4, std::chrono::milliseconds(10));

class ClientTest : public testing::Test {
 protected:
  void SetUp() override {
    klcr::detail::ForgetRunState();
    folder_ = *platform::MakeUniqueFolder(platform::TempFolder(), "klcr-test-");
    KLCRMiscFunc::SetIniPath(folder_.string());
    KLCRMiscFunc::SetLoggPath(folder_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    klcr::detail::SetStateQueryPauses(kShortPauses);
  }
  void TearDown() override {
    KLCRMiscFunc::SetLoggPath("");
    fs::remove_all(folder_);
  }

  static void LogIn(const std::string& user, const std::string& password, bool keep = true) {
    KLCRUsesUserData login;
    login.SetUsername(user);
    ASSERT_TRUE(login.SetPassword(password, keep));
  }

  static std::string TokenOf(const std::string& companyId) {
    CGetToken request;
    request.SetUsername(kUser);
    request.SetCustomerId(companyId);
    EXPECT_EQ(request.Call(), klcr::kOk);
    return request.GetToken();
  }

  nlohmann::json Pending(const std::string& companyId) const {
    return cloud_.State()["companies"][companyId]["pending"];
  }

  // One accepted delivery term for the token's company: each Call() leaves an import pending.
  static void AddOneTerm(CUploadDeliveryTerms& terms, const std::string& token) {
    terms.SetApiToken(token);
    terms.SetCode("FVL");
    terms.SetName("Fritt vårt lager");
    ASSERT_EQ(terms.AddDeliveryTerm(), 0);
  }

  // The requests of `route` after the first `skip` the stand-in saw.
  std::size_t RequestsOf(const std::string& route, std::size_t skip) const {
    const auto requests = cloud_.State()["requests"];
    std::size_t count = 0;
    for (std::size_t i = skip; i < requests.size(); ++i) count += requests[i]["route"] == route;
    return count;
  }

  // A fault of the stand-in, what the call answers under it, and how many
  // requests of the route looked at it made.
  struct FaultCase {
    const char* what;
    std::function<void()> arrange;
    int code;
    std::size_t requests;
  };

  StandinProcess cloud_{cloud_standin::ExampleFixture()};
  fs::path folder_;
};

TEST_F(ClientTest, LogsInListsTheUsersCompaniesAndGetsAToken) {
  LogIn(kUser, "hemligt");
  CGetCustomers customers;
  customers.SetUsername(kUser);
  ASSERT_EQ(customers.Call(), klcr::kOk);
  ASSERT_EQ(customers.GetNumberOfCustomers(), 2);
  EXPECT_EQ(customers.GetFirstName(0), "Anna");
  EXPECT_EQ(customers.GetLastName(0), "Åberg");
  EXPECT_EQ(customers.GetName(0), kCompanyName);
  EXPECT_EQ(customers.GetCustomerRegistrationNumber(0), "556677-8899");
  EXPECT_EQ(customers.GetId(1), "c-1002");
  EXPECT_EQ(customers.GetCountryId(1), "SE");
  EXPECT_EQ(customers.GetCustomerStatus(1), 1);
  EXPECT_EQ(customers.GetNumber(1), 1002);
  EXPECT_EQ(customers.GetName(2), "");

  EXPECT_FALSE(TokenOf("c-1001").empty());
  CGetToken foreign;
  foreign.SetUsername(kUser);
  foreign.SetCustomerId("c-9999");
  EXPECT_EQ(foreign.Call(), klcr::kNotFound);
}

TEST_F(ClientTest, AUserWithoutCompaniesGets404AndAnEmptyList) {
  LogIn("utan@example.se", "hemligt");
  CGetCustomers customers;
  customers.SetUsername("utan@example.se");
  EXPECT_EQ(customers.Call(), klcr::kNotFound);
  EXPECT_EQ(customers.GetNumberOfCustomers(), 0);
}

TEST_F(ClientTest, ALaterRunWithOnlyTheEmailUsesTheKeptCredential) {
  CGetCustomers withoutLogin;
  withoutLogin.SetUsername(kUser);
  EXPECT_EQ(withoutLogin.Call(), klcr::kNotLoggedIn);

  LogIn(kUser, "hemligt", /*keep=*/true);
  KLCRUsesUserData check;
  check.SetUsername(kUser);
  ASSERT_EQ(check.Call(), klcr::kOk);
  const auto files = std::vector<fs::directory_entry>(fs::directory_iterator(folder_), {});
  const auto kept = std::find_if(files.begin(), files.end(), [](auto& f) { return f.path().extension() == ".cred"; });
  ASSERT_NE(kept, files.end());
  EXPECT_EQ(fs::status(kept->path()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(platform::ReadWholeFile(kept->path())->find("hemligt"), std::string::npos);

  klcr::detail::ForgetRunState();  // a new run: nothing in memory, the e-mail given by "-U"
  CGetCustomers laterRun;
  laterRun.SetUsername("Anna@Example.se");
  EXPECT_EQ(laterRun.Call(), klcr::kOk);
  EXPECT_EQ(laterRun.GetNumberOfCustomers(), 2);
  CGetCustomers otherUser;  // the kept credential is Anna's alone
  otherUser.SetUsername("utan@example.se");
  EXPECT_EQ(otherUser.Call(), klcr::kNotLoggedIn);
}

TEST_F(ClientTest, WithoutKeepingNothingIsWrittenAndAWrongPasswordGives401) {
  LogIn(kUser, "fel", /*keep=*/false);
  CGetCustomers customers;
  customers.SetUsername(kUser);
  EXPECT_EQ(customers.Call(), klcr::kUnauthorized);
  LogIn(kUser, "hemligt", /*keep=*/false);
  EXPECT_EQ(customers.Call(), klcr::kOk);
  for (const auto& file : fs::directory_iterator(folder_)) EXPECT_NE(file.path().extension(), ".cred");
}

// An e-mail from the command line need not be UTF-8: the service refuses it like any unknown user.
TEST_F(ClientTest, AnEmailThatIsNotUtf8IsAnUnknownUser) {
  const std::string email = "g\xF6ran@example.se";
  LogIn(email, "hemligt");
  CGetCustomers customers;
  customers.SetUsername(email);
  EXPECT_EQ(customers.Call(), klcr::kUnauthorized);
}

TEST_F(ClientTest, FaultsOfTheServiceAndTheNetworkHaveTheirCodes) {
  LogIn(kUser, "hemligt");
  CGetCustomers customers;
  customers.SetUsername(kUser);
  cloud_.SetFault("customers", 500, 0, 1);
  EXPECT_EQ(customers.Call(), klcr::kServerError);

  cloud_.SetFault("customers", 401, 0, 2);  // refused, and refused again after logging in anew
  EXPECT_EQ(customers.Call(), klcr::kUnauthorized);

  KLCRMiscFunc::SetTimeout(1);
  cloud_.SetFault("customers", 0, 3, 1);
  EXPECT_EQ(customers.Call(), klcr::kTimedOut);
  KLCRMiscFunc::SetTimeout(60);
  EXPECT_EQ(customers.Call(), klcr::kOk);

  const int socketFd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(socketFd);  // nobody listens on this port now
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
  KLCR_ServiceDirectory::CGetService service;
  service.SetService("BaseUrl.Molnix");
  EXPECT_EQ(service.Call(), klcr::kConnectionFailed);

  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://192.0.2.1");  // plain http beyond this computer
  EXPECT_EQ(service.Call(), klcr::kSecureConnectionFailed);

  // What the user reads for each failure before an answer.
  const std::pair<int, const char*> texts[] = {
      {klcr::kConnectionFailed, "Det gick inte att ansluta till Tessal Molnix. Kontrollera internetanslutningen."},
      {klcr::kTimedOut, "Tessal Molnix svarade inte inom den angivna tiden."},
      {klcr::kMalformedAnswer, "Svaret från Tessal Molnix kunde inte tolkas."},
      {klcr::kSecureConnectionFailed, "En säker anslutning till Tessal Molnix kunde inte upprättas."},
      {klcr::kUnauthorized, "Inloggningen misslyckades. Kontrollera e-postadress och lösenord."},
      {klcr::kServerError, "Ett fel uppstod hos Tessal Molnix. Försök igen senare."},
  };
  for (const auto& [code, text] : texts) EXPECT_EQ(KLCRestBase::GetErrorText(code, klcr::kSwedish), text) << code;
}

// A company list of `count` times `entry` (each with its comma).
std::string CompanyList(std::string_view entry, std::size_t count) {
  std::string body = R"({"customers": [)";
  for (std::size_t i = 0; i < count; ++i) body += entry;
  return body + "{}]}";
}

// An answer the client cannot take as it stands is a failure of its own, and the
// request leaves nothing half-read behind: no partial list, no token that would
// break the next request's headers. Nor does an answer the service never sends
// (far longer or deeper than any) make the client build it in memory.
TEST_F(ClientTest, AnswersThatCannotBeTakenAsTheyStandAreRefused) {
  const struct {
    const char* what;
    const char* route;
    std::string body;
  } answers[] = {
      {"a page in place of the list", "customers", "<html>Underhåll pågår</html>"},
      {"a list entry that is no object", "customers",
       R"({"firstName": "Anna", "customers": [{"id": "c-1001", "name": "A"}, 17]})"},
      {"a token that is no text", "token", R"({"apiToken": 17})"},
      {"a token with a line break", "token", R"({"apiToken": "abc\r\nX-Extra: 1"})"},
      {"an access token with a line break", "login", R"({"accessToken": "a\nb", "refreshToken": "r", "expiresIn": 60})"},
      {"a refresh token with a control character", "login",
       R"({"accessToken": "a", "refreshToken": "r\u0001", "expiresIn": 60})"},
      {"a list entry nested a hundred levels deep", "customers",
       R"({"customers": [{"id": "c-1001", "notes": )" + std::string(100, '[') + std::string(100, ']') + "}]}"},
      {"a list longer than 8 MiB", "customers",
       CompanyList(R"({"id": "c-1001", "name": ")" + std::string(100, 'A') + R"("},)", 70'000)},
      {"a list of more than half a million values", "customers", CompanyList("{},", 500'000)},
  };
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.what);
    klcr::detail::ForgetRunState();
    LogIn(kUser, "hemligt", /*keep=*/false);
    if (std::string(answer.route) != "login") {
      KLCRUsesUserData login;  // logged in before the fault, so the fault meets its own request
      login.SetUsername(kUser);
      ASSERT_EQ(login.Call(), klcr::kOk);
    }
    cloud_.SetRawAnswer(answer.route, answer.body, 1);
    CGetCustomers customers;
    customers.SetUsername(kUser);
    CGetToken token;
    token.SetUsername(kUser);
    token.SetCustomerId("c-1001");
    if (std::string(answer.route) == "token") {
      EXPECT_EQ(token.Call(), klcr::kMalformedAnswer);
      EXPECT_EQ(token.GetToken(), "");
    } else {
      EXPECT_EQ(customers.Call(), klcr::kMalformedAnswer);
      EXPECT_EQ(customers.GetNumberOfCustomers(), 0);
      EXPECT_EQ(customers.GetFirstName(0), "");
    }
  }
}

// A small answer must arrive whole within the time-out: a service that sends a
// few bytes a second cannot keep the wizard waiting for minutes.
TEST_F(ClientTest, ADrippingAnswerEndsWithinTheTimeOut) {
  LogIn(kUser, "hemligt");
  KLCRUsesUserData login;
  login.SetUsername(kUser);
  ASSERT_EQ(login.Call(), klcr::kOk);
  KLCRMiscFunc::SetTimeout(2);
  cloud_.SetSlowAnswer("customers", 40, 1.0, 1);  // some 40 s for the whole list
  CGetCustomers customers;
  customers.SetUsername(kUser);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(customers.Call(), klcr::kTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
  EXPECT_EQ(customers.GetNumberOfCustomers(), 0);
}

// An upload is cut only when it stops moving: a large register over a slow,
// steady line takes longer than the time-out and still goes through.
TEST_F(ClientTest, ALargeUploadOverASlowLineGoesThrough) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  CUploadCustomers customers;
  const std::string note(1000, 'n');
  constexpr int kCount = 9500;  // some 16.5 MB
  for (int i = 0; i < kCount; ++i) {
    customers.SetCustomerNumber(std::to_string(i));
    customers.SetName(kCompanyName);
    customers.SetInvoicePostalCode("123 45");
    customers.SetInvoiceCity("Öby");
    customers.SetNote(note);
    ASSERT_EQ(customers.AddCustomer(), 0);
  }
  KLCRMiscFunc::SetTimeout(1);
  cloud_.SetSlowRequest("upload.customers", 4 << 20, 1);  // about four seconds
  customers.SetApiToken(token);
  EXPECT_EQ(customers.Call(), klcr::kOk);
  EXPECT_EQ(Pending("c-1001")["customers"].size(), static_cast<std::size_t>(kCount));
}

// Done is what the service says is done: an answer that is not the one the
// call expects is a malformed answer, and the import stays as the service holds it.
TEST_F(ClientTest, AnImportCallIsDoneOnlyWhenTheServiceSaysSo) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  CUploadArticles articles;
  articles.SetApiToken(token);
  for (const char* number : {"A1", "A2"}) {
    articles.SetNumber(number);
    articles.SetName("Artikel");
    articles.SetArticleAccountCode("3001");
    ASSERT_EQ(articles.AddArticle(), 0);
  }
  CDiscard discard;
  discard.SetApiToken(token);
  CCompleteExport complete;
  complete.SetApiToken(token);
  const struct {
    const char* route;
    std::string body;
    KLCRestBase* request;
  } answers[] = {
      {"upload.articles", "<html>Underhåll pågår</html>", &articles},
      {"upload.articles", R"({"received": 0})", &articles},
      {"upload.articles", R"({"received": 1})", &articles},
      {"upload.articles", "", &articles},
      {"discard", "<html></html>", &discard},
      {"discard", R"({"discarded": "ja"})", &discard},
      {"complete", R"({"completed": false})", &complete},
      {"complete", "", &complete},
      {"complete", "<html>OK</html>", &complete},
      {"complete", R"({"completed": "true"})", &complete},
  };
  ASSERT_EQ(articles.Call(), klcr::kOk);
  for (const auto& answer : answers) {
    SCOPED_TRACE(std::string(answer.route) + ": " + answer.body);
    cloud_.SetRawAnswer(answer.route, answer.body, 1);
    EXPECT_EQ(answer.request->Call(), klcr::kMalformedAnswer);
    const auto company = cloud_.State()["companies"]["c-1001"];
    EXPECT_EQ(company["pending"]["articles"].size(), 2u);
    EXPECT_TRUE(company["completed"].empty());
  }
  EXPECT_EQ(discard.Call(), klcr::kOk);
  EXPECT_EQ(discard.Call(), klcr::kOk);  // nothing to drop is no failure
  // The request's line shows the status only; the log says which answer was refused.
  const auto log = platform::ReadWholeFile(folder_ / "klcr_logg.txt");
  for (const char* request : {"PUT /migration/articles", "POST /migration/discard", "POST /migration/complete"})
    EXPECT_NE(log->find(std::string("Svaret kunde inte tolkas: ") + request), std::string::npos) << request;
}

// A completion whose answer is lost is success when the service completed it;
// completing the same import again completes nothing more.
TEST_F(ClientTest, ALostCompletionAnswerIsAskedAfterAndNeverCompletesTwice) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  CUploadDeliveryTerms terms;
  AddOneTerm(terms, token);
  ASSERT_EQ(terms.Call(), klcr::kOk);

  KLCRMiscFunc::SetTimeout(1);
  cloud_.SetLateAnswer("complete", 3, 1);
  CCompleteExport complete;
  complete.SetApiToken(token);
  EXPECT_EQ(complete.Call(), klcr::kOk);
  const std::string id = complete.GetImportId();
  EXPECT_EQ(id.size(), 32u);
  EXPECT_NE(id, CCompleteExport::NewImportId());

  ASSERT_EQ(terms.Call(), klcr::kOk);  // sent again, as a second "Skicka" does
  CCompleteExport again;
  again.SetApiToken(token);
  again.SetImportId(id);
  EXPECT_EQ(again.Call(), klcr::kOk);
  const auto company = cloud_.State()["companies"]["c-1001"];
  EXPECT_EQ(company["completed"].size(), 1u);
  EXPECT_EQ(company["completedIds"], nlohmann::json::array({id}));

  cloud_.SetDroppedAnswer("complete", 1);  // completed, and the connection closed with no answer
  CCompleteExport dropped;
  dropped.SetApiToken(token);
  EXPECT_EQ(dropped.Call(), klcr::kOk);
  EXPECT_EQ(cloud_.State()["companies"]["c-1001"]["completed"].size(), 2u);
  ASSERT_EQ(terms.Call(), klcr::kOk);

  // A refusal is an answer: nothing to ask after it.
  cloud_.SetFault("complete", 500, 0, 1);
  CCompleteExport refused;
  refused.SetApiToken(token);
  EXPECT_EQ(refused.Call(), klcr::kServerError);
  const auto routes = cloud_.State()["requests"];
  EXPECT_EQ(routes[routes.size() - 1]["route"], "complete");
}

// After a lost completion answer (a time-out, a dropped or reset connection, a
// gateway's 502, 503 or 504) the import's state is asked a few times, spaced,
// since the service may still be at work: completed is success; anything else at
// the end is not known, which is not a refusal. A query refused for its token
// goes again with a renewed one.
TEST_F(ClientTest, AfterALostCompletionAnswerTheStateIsAskedUntilItIsKnown) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  KLCRMiscFunc::SetTimeout(1);
  const FaultCase cases[] = {
      {"answered late, the service still at work at the first two queries",
       [&] {
         cloud_.SetLateAnswer("complete", 3, 1);
         cloud_.SetRawAnswer("importState", R"({"completed": false})", 2);
       },
       klcr::kOk, 3},
      {"dropped, and every state query failing",
       [&] {
         cloud_.SetDroppedAnswer("complete", 1);
         cloud_.SetFault("importState", 500);
       },
       klcr::kCompletionUnknown, kShortPauses.size()},
      {"dropped, and every state query dropped too",
       [&] {
         cloud_.SetDroppedAnswer("complete", 1);
         cloud_.SetDroppedAnswer("importState");
       },
       klcr::kCompletionUnknown, kShortPauses.size()},
      {"answered 502 by a gateway once the service had completed it",
       [&] { cloud_.SetStatusAfterWork("complete", 502, 1); }, klcr::kOk, 1},
      {"answered 503 by a gateway once the service had completed it",
       [&] { cloud_.SetStatusAfterWork("complete", 503, 1); }, klcr::kOk, 1},
      {"answered 504 by a gateway once the service had completed it",
       [&] { cloud_.SetStatusAfterWork("complete", 504, 1); }, klcr::kOk, 1},
      {"connection reset once the service had completed it",
       [&] { cloud_.SetResetAnswer("complete", 1); }, klcr::kOk, 1},
      {"dropped, the state query refused once for the token, which is renewed",
       [&] {
         cloud_.SetDroppedAnswer("complete", 1);
         cloud_.SetFault("importState", 401, 0, 1);
       },
       klcr::kOk, 2},
      {"answered late, and the service says \"not completed\" every time",
       [&] {
         cloud_.SetLateAnswer("complete", 3, 1);
         cloud_.SetRawAnswer("importState", R"({"completed": false})");
       },
       klcr::kCompletionUnknown, kShortPauses.size()},
  };
  CUploadDeliveryTerms terms;
  AddOneTerm(terms, token);
  int renewals = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(terms.Call(), klcr::kOk);
    c.arrange();
    const std::size_t before = cloud_.State()["requests"].size();
    CCompleteExport complete;
    complete.SetApiToken(token);
    complete.SetTokenRenewal([&](std::string& renewed) {
      ++renewals;
      renewed = TokenOf("c-1001");
      return klcr::kOk;
    });
    EXPECT_EQ(complete.Call(), c.code);
    cloud_.ClearFaults();
    EXPECT_EQ(RequestsOf("importState", before), c.requests);
    // The stand-in did complete it each time; asked now, it says so.
    CGetImportState state;
    state.SetApiToken(token);
    state.SetImportId(complete.GetImportId());
    EXPECT_EQ(state.Call(), klcr::kOk);
    EXPECT_TRUE(state.IsCompleted());
  }
  EXPECT_EQ(renewals, 1);  // only the refused query renewed its token
  EXPECT_EQ(KLCRestBase::GetErrorText(klcr::kCompletionUnknown, klcr::kSwedish),
            "Svaret från Tessal Molnix uteblev, och det gick inte att få veta om överföringen avslutades.");
  CGetImportState unknown;
  unknown.SetApiToken(token);
  unknown.SetImportId(CCompleteExport::NewImportId());
  EXPECT_EQ(unknown.Call(), klcr::kOk);
  EXPECT_FALSE(unknown.IsCompleted());
}

// An upload replaces its kind in the pending import, so one whose answer was lost
// is sent once more; only a second loss, or a refusal, is a failure.
TEST_F(ClientTest, AnUploadWhoseAnswerIsLostIsSentOnceMore) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  KLCRMiscFunc::SetTimeout(1);
  const FaultCase cases[] = {
      {"dropped once", [&] { cloud_.SetDroppedAnswer("upload.articles", 1); }, klcr::kOk, 2},
      // An upload is cut when nothing moves for the time-out, as curl measures it: some
      // seconds after the body went out. The late answer comes well after that.
      {"answered after the time-out once", [&] { cloud_.SetLateAnswer("upload.articles", 15, 1); }, klcr::kOk, 2},
      {"dropped every time", [&] { cloud_.SetDroppedAnswer("upload.articles"); }, klcr::kMalformedAnswer, 2},
      {"refused", [&] { cloud_.SetFault("upload.articles", 503, 0, 1); }, klcr::kServiceUnavailable, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CDiscard discard;
    discard.SetApiToken(token);
    ASSERT_EQ(discard.Call(), klcr::kOk);
    CUploadArticles articles;
    articles.SetApiToken(token);
    articles.SetNumber("A1");
    articles.SetName("Artikel");
    articles.SetArticleAccountCode("3001");
    ASSERT_EQ(articles.AddArticle(), 0);
    c.arrange();
    const std::size_t before = cloud_.State()["requests"].size();
    EXPECT_EQ(articles.Call(), c.code);
    cloud_.ClearFaults();
    EXPECT_EQ(RequestsOf("upload.articles", before), c.requests);
  }
  EXPECT_NE(platform::ReadWholeFile(folder_ / "klcr_logg.txt")->find("Svaret uteblev, skickas en gång till: PUT "
                                                                      "/migration/articles"),
            std::string::npos);
}

// The library's log is opened as the program's own: never through a link, only
// a plain file (a pipe at the name would hang the program), the user's alone.
TEST_F(ClientTest, TheLogIsWrittenOnlyToAPlainFileOfItsOwn) {
  const auto log = folder_ / "klcr_logg.txt";
  KLCR_ServiceDirectory::CGetService service;
  service.SetService("BaseUrl.Molnix");

  ASSERT_EQ(::mkfifo(log.c_str(), 0600), 0);
  EXPECT_EQ(service.Call(), klcr::kOk);  // returns, and writes nothing into the pipe
  fs::remove(log);

  const auto elsewhere = folder_ / "annan.txt";
  std::ofstream(elsewhere) << "";
  fs::create_symlink(elsewhere, log);
  EXPECT_EQ(service.Call(), klcr::kOk);
  EXPECT_EQ(fs::file_size(elsewhere), 0u);
  fs::remove(log);

  EXPECT_EQ(service.Call(), klcr::kOk);
  EXPECT_EQ(fs::status(log).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_NE(platform::ReadWholeFile(log)->find("/services/BaseUrl.Molnix"), std::string::npos);
}

// The peer's certificate is checked: a service whose certificate no authority
// signed is refused before anything is sent, though it answers those who trust it.
TEST(ClientCertificates, AnUntrustedCertificateIsRefused) {
  klcr::detail::ForgetRunState();
  StandinProcess cloud(cloud_standin::ExampleFixture(), 600, cloud_standin::Transport::kHttps);
  ASSERT_EQ(cloud.BaseUrl().rfind("https://", 0), 0u);
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud.BaseUrl());
  KLCR_ServiceDirectory::CGetService service;
  service.SetService("BaseUrl.Molnix");
  EXPECT_EQ(service.Call(), klcr::kSecureConnectionFailed);
  EXPECT_EQ(service.GetUri(), "");
  EXPECT_TRUE(cloud.State()["requests"].empty());
}

TEST_F(ClientTest, ServiceDirectoryGivesTheAddressesOfTheService) {
  KLCR_ServiceDirectory::CGetService service;
  service.SetService("BaseUrl.HelpKolm");
  ASSERT_EQ(service.Call(), klcr::kOk);
  EXPECT_EQ(service.GetUri(), cloud_.BaseUrl() + "/help");
  service.SetService("BaseUrl.Okänd");
  EXPECT_EQ(service.Call(), klcr::kNotFound);
  EXPECT_EQ(service.GetUri(), "");  // never the address of an earlier call
}

// Every kind with the company name in one of its texts; the SIE files with every byte value.
TEST_F(ClientTest, EveryKindArrivesIntactAndTheImportIsDiscardedOrCompleted) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");

  CUploadCompanySettings settings;
  settings.SetName(kCompanyName);
  settings.SetHasFTaxCard(true);
  settings.VatPeriod(3);
  CUploadArticles articles;
  articles.SetNumber("A1");
  articles.SetName(kCompanyName);
  articles.SetArticleAccountCode("3001");
  articles.SetNetPrice("99.50");
  ASSERT_EQ(articles.AddArticle(), 0);
  CUploadCustomers customers;
  customers.SetCustomerNumber("K1");
  customers.SetName(kCompanyName);
  customers.SetInvoicePostalCode("123 45");
  customers.SetInvoiceCity("Öby");
  customers.SetNote("rad 1\r\n\"citat\"\t\\ \x01\x1f slut");
  ASSERT_EQ(customers.AddCustomer(), 0);
  CUploadSuppliers suppliers;
  suppliers.SetSupplierNumber("L1");
  suppliers.SetName(kCompanyName);
  ASSERT_EQ(suppliers.AddSupplier(), 0);
  CUploadDeliveryTerms terms;
  terms.SetCode("FVL");
  terms.SetName(kCompanyName);
  ASSERT_EQ(terms.AddDeliveryTerm(), 0);
  CUploadDeliveryMethods methods;
  methods.SetCode("P");
  methods.SetName(kCompanyName);
  ASSERT_EQ(methods.AddDeliveryMethod(), 0);
  CUploadCustomerLedgerItems customerInvoices;
  customerInvoices.SetInvoiceNumber(-17);
  customerInvoices.SetCustomerNumber("K1");
  customerInvoices.SetCustomerName(kCompanyName);
  customerInvoices.SetDueDate("2024-02-29");
  ASSERT_EQ(customerInvoices.AddLedgerItem(), 0);
  CUploadSupplierLedgerItems supplierInvoices;
  supplierInvoices.SetSupplierNumber("L1");
  supplierInvoices.SetSupplierName(kCompanyName);
  supplierInvoices.SetDueDate("2024-03-01");
  ASSERT_EQ(supplierInvoices.AddLedgerItem(), 0);

  std::string sieBytes;
  for (int i = 0; i < 256; ++i) sieBytes += static_cast<char>(i);
  sieBytes += "#FNAMN \"\x8f\x73\x61 \x99\x62\x65rg AB\"\r\n";  // code page 437, as SIE files are
  const auto siePath = folder_ / "SIE.SE";
  std::ofstream(siePath, std::ios::binary) << sieBytes;
  CUploadSieFile sie;
  sie.SetFilePath(siePath.string());
  sie.SetFilePathPreviousYear("");

  KLCRestApiToken* uploads[] = {&settings, &articles, &customers, &suppliers, &terms,
                                &methods, &customerInvoices, &supplierInvoices, &sie};
  for (auto* upload : uploads) {
    upload->SetApiToken(token);
    EXPECT_EQ(upload->Call(), klcr::kOk);
  }

  const auto pending = Pending("c-1001");
  EXPECT_EQ(pending["companySettings"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["companySettings"][0]["hasFTaxCard"], true);
  EXPECT_EQ(pending["companySettings"][0]["vatPeriod"], 3);
  EXPECT_EQ(pending["articles"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["articles"][0]["netPrice"], "99.50");
  EXPECT_EQ(pending["customers"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["customers"][0]["note"], "rad 1\r\n\"citat\"\t\\ \x01\x1f slut");
  EXPECT_EQ(pending["suppliers"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["deliveryTerms"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["deliveryMethods"][0]["name"], kCompanyName);
  EXPECT_EQ(pending["customerLedgerItems"][0]["customerName"], kCompanyName);
  EXPECT_EQ(pending["customerLedgerItems"][0]["invoiceNumber"], -17);
  EXPECT_EQ(pending["supplierLedgerItems"][0]["supplierName"], kCompanyName);
  EXPECT_EQ(pending["sie"]["currentYear"]["fileName"], "SIE.SE");
  EXPECT_TRUE(pending["sie"]["previousYear"].is_null());
  EXPECT_EQ(cloud_standin::ReceivedFileBytes(pending["sie"]["currentYear"]), sieBytes);

  CDiscard discard;
  discard.SetApiToken(token);
  EXPECT_EQ(discard.Call(), klcr::kOk);
  EXPECT_TRUE(Pending("c-1001").is_null());
  EXPECT_EQ(cloud_.State()["companies"]["c-1001"]["discarded"], 1);

  CCompleteExport complete;
  complete.SetApiToken(token);
  EXPECT_EQ(complete.Call(), klcr::kConflict);  // nothing pending
  EXPECT_EQ(articles.Call(), klcr::kOk);
  EXPECT_EQ(complete.Call(), klcr::kOk);
  const auto completed = cloud_.State()["companies"]["c-1001"]["completed"];
  ASSERT_EQ(completed.size(), 1u);
  EXPECT_EQ(completed[0]["articles"][0]["number"], "A1");
}

// The company settings have no Add, so their texts are checked when they are sent:
// what the service would not take is not sent, and the log names the field.
TEST_F(ClientTest, CompanySettingsWithATextTheServiceDoesNotTakeAreNotSent) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  for (const std::string& name : {std::string("G\xF6ran AB"), std::string(101, 'A')}) {
    CUploadCompanySettings settings;
    settings.SetName(name);
    settings.SetApiToken(token);
    EXPECT_EQ(settings.Call(), klcr::kRecordNotAccepted) << name;
  }
  EXPECT_TRUE(Pending("c-1001").is_null());
  EXPECT_NE(platform::ReadWholeFile(folder_ / "klcr_logg.txt")->find("name"), std::string::npos);
}

TEST_F(ClientTest, TheLogHoldsNeitherPasswordsNorTokens) {
  LogIn(kUser, "hemligt");
  const std::string token = TokenOf("c-1001");
  CDiscard discard;
  discard.SetApiToken(token);
  EXPECT_EQ(discard.Call(), klcr::kOk);
  std::string accessToken;
  ASSERT_EQ(klcr::detail::AccessToken(kUser, accessToken), klcr::kOk);
  std::string refreshToken;
  for (const auto& file : fs::directory_iterator(folder_)) {
    if (file.path().extension() == ".cred")
      refreshToken = nlohmann::json::parse(*platform::ReadWholeFile(file.path()))["refreshToken"];
  }
  ASSERT_FALSE(refreshToken.empty());

  const auto log = platform::ReadWholeFile(folder_ / "klcr_logg.txt");
  ASSERT_TRUE(log);
  EXPECT_NE(log->find("/auth/login"), std::string::npos);
  EXPECT_NE(log->find("/migration/discard"), std::string::npos);
  for (const std::string& secret : {std::string("hemligt"), token, accessToken, refreshToken})
    EXPECT_EQ(log->find(secret), std::string::npos) << secret;
}

TEST_F(ClientTest, AnUnreadableSieFileIsNotSent) {
  LogIn(kUser, "hemligt");
  CUploadSieFile sie;
  sie.SetApiToken(TokenOf("c-1001"));
  sie.SetFilePath((folder_ / "saknas.se").string());
  EXPECT_EQ(sie.Call(), klcr::kFileUnreadable);
  EXPECT_TRUE(Pending("c-1001").is_null());
}

}  // namespace
