#include "platform/url_opener.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/files.h"
#include "platform/folders.h"

namespace {

namespace fs = std::filesystem;

TEST(IsWebAddress, OnlyHttpAndHttpsAddressesWithAHost) {
  for (const char* good : {"https://app.molnix.example/", "http://127.0.0.1:8080/app", "HTTPS://Molnix.example"})
    EXPECT_TRUE(platform::IsWebAddress(good)) << good;
  for (const char* bad : {"--help", "file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "", "https://",
                          "https:///etc/passwd", "https://a.example/ --help", "https://a.example/\n", "ftp://a.example"})
    EXPECT_FALSE(platform::IsWebAddress(bad)) << bad;
}

// The opener is started only for a web address, with the address as its one argument.
TEST(DesktopUrlOpener, HandsOnlyWebAddressesToTheProgram) {
  const fs::path folder = *platform::MakeUniqueFolder(platform::TempFolder(), "opener-test-");
  const fs::path program = folder / "opener";
  const fs::path handed = folder / "handed.txt";
  std::ofstream(program) << "#!/bin/sh\nprintf '%s|' \"$@\" >> '" << handed.string() << "'\necho >> '"
                         << handed.string() << "'\n";
  fs::permissions(program, fs::perms::owner_all);
  platform::DesktopUrlOpener opener(program.string());

  for (const char* refused : {"--help", "file:///etc/passwd", "/etc/passwd", "javascript:alert(1)"})
    EXPECT_FALSE(opener.Open(refused)) << refused;
  EXPECT_FALSE(fs::exists(handed));
  EXPECT_TRUE(opener.Open("https://app.molnix.example/"));
  EXPECT_EQ(platform::ReadWholeFile(handed), "https://app.molnix.example/|\n");
  fs::remove_all(folder);
}

}  // namespace
