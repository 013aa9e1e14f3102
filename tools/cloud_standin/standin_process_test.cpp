#include "tools/cloud_standin/standin_process.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace cloud_standin {
namespace {

size_t Ignore(char*, size_t size, size_t count, void*) { return size * count; }

// Whether anything answers HTTP on the port.
bool Answers(int port) {
  CURL* curl = curl_easy_init();
  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/services/BaseUrl.Molnix";
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Ignore);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 2L);
  const bool answered = curl_easy_perform(curl) == CURLE_OK;
  curl_easy_cleanup(curl);
  return answered;
}

bool StopsAnsweringWithin(int port, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (!Answers(port)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

TEST(StandinProcess, ShowsFixtureCompaniesAndCountsDownAFault) {
  StandinProcess cloud(ExampleFixture());
  const auto state = cloud.State();
  EXPECT_EQ(state["companies"]["c-1001"]["name"], "Åsa Öberg AB");
  EXPECT_TRUE(state["companies"]["c-1002"]["pending"].is_null());

  cloud.SetFault("services", 503, 0, 1);
  EXPECT_EQ(cloud.State()["faults"]["services"]["status"], 503);
  Answers(cloud.Port());  // takes the one fault
  EXPECT_TRUE(cloud.State()["faults"].empty());
  const auto requests = cloud.State()["requests"];
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["status"], 503);
}

TEST(StandinProcess, StopsWhenItsParentIsGoneOrItsTimeIsUp) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    // The parent of the stand-in ends without stopping it.
    auto* orphan = new StandinProcess(ExampleFixture());
    const int port = orphan->Port();
    (void)!::write(fds[1], &port, sizeof port);
    ::_exit(0);
  }
  int orphanPort = 0;
  ASSERT_EQ(::read(fds[0], &orphanPort, sizeof orphanPort), static_cast<ssize_t>(sizeof orphanPort));
  ::waitpid(child, nullptr, 0);
  EXPECT_TRUE(StopsAnsweringWithin(orphanPort, std::chrono::seconds(10)));

  StandinProcess shortLived(ExampleFixture(), 1);
  EXPECT_TRUE(StopsAnsweringWithin(shortLived.Port(), std::chrono::seconds(10)));
}

}  // namespace
}  // namespace cloud_standin
