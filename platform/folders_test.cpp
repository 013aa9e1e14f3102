#include "platform/folders.h"

#include <gtest/gtest.h>

#include "platform/fake/scoped_environment.h"

namespace platform {
namespace {

using fake::ScopedEnv;

TEST(Folders, PerUserFoldersFollowTheXdgRules) {
  fake::TempTree tree;
  const std::string home = (tree / "home").string();
  const std::string xdg = (tree / "xdg").string();
  struct Case {
    std::optional<std::string> override, xdgHome;
    std::filesystem::path config, data;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, tree / "home/.config/tessal-molnix-converter",
       tree / "home/.local/share/tessal-molnix-converter"},
      {std::nullopt, xdg, tree / "xdg/tessal-molnix-converter", tree / "xdg/tessal-molnix-converter"},
      {std::nullopt, "relative/xdg", tree / "home/.config/tessal-molnix-converter",  // a relative one is ignored
       tree / "home/.local/share/tessal-molnix-converter"},
      {(tree / "own").string(), xdg, tree / "own", tree / "own"},
  };
  for (const auto& c : cases) {
    ScopedEnv homeEnv("HOME", home);
    ScopedEnv config("MOLNIX_CONFIG_HOME", c.override), data("MOLNIX_DATA_HOME", c.override);
    ScopedEnv xdgConfig("XDG_CONFIG_HOME", c.xdgHome), xdgData("XDG_DATA_HOME", c.xdgHome);
    EXPECT_EQ(UserConfigFolder(), c.config) << c.xdgHome.value_or("-");
    EXPECT_EQ(UserDataFolder(), c.data) << c.xdgHome.value_or("-");
  }
}

TEST(Folders, CommonDataFolderIsMadeWhenMissing) {
  fake::TempTree tree;
  ScopedEnv homeEnv("HOME", (tree / "home").string());
  struct Case {
    std::optional<std::string> common, xdgData;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {(tree / "common/all").string(), std::nullopt, tree / "common/all"},
      {std::nullopt, (tree / "xdg").string(), tree / "xdg"},
      {std::nullopt, "relative/xdg", tree / "home/.local/share"},
  };
  for (const auto& c : cases) {
    ScopedEnv common("MOLNIX_COMMON_APPDATA", c.common), xdgData("XDG_DATA_HOME", c.xdgData);
    EXPECT_EQ(CommonAppDataFolder(), c.expected);
    EXPECT_TRUE(std::filesystem::is_directory(c.expected)) << c.expected;
  }
}

}  // namespace
}  // namespace platform
