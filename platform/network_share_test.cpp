#include "platform/network_share.h"

#include <gtest/gtest.h>

namespace {

// A mount table with a local root, a CIFS share, an NFS export mounted below it,
// a path with an escaped blank, and a tmpfs mounted over part of the share.
constexpr const char* kMountInfo =
    "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
    "40 22 0:50 / /mnt/fs rw,relatime shared:20 - cifs //FS/Data rw,vers=3.0\n"
    "41 40 0:51 / /mnt/fs/nfs rw - nfs4 nas.example.com:/export/home rw\n"
    "42 22 0:52 / /mnt/with\\040blank rw - cifs \\\\OTHER\\share rw\n"
    "43 40 0:53 / /mnt/fs/tmp rw - tmpfs tmpfs rw\n"
    "44 22 0:54 / /mnt/v6 rw - nfs [fd00::1]:/srv rw\n"
    "broken line\n";

TEST(FileServerByMountTable, NamesTheServerOfTheDeepestNetworkMount) {
  const struct {
    const char* path;
    const char* server;  // nullptr: local
  } cases[] = {
      {"/home/user/ftg", nullptr},
      {"/mnt/fs", "FS"},
      {"/mnt/fs/Företag/ftg1", "FS"},
      {"/mnt/fsx/ftg", nullptr},  // a sibling whose name only begins like the mount point
      {"/mnt/fs/nfs/ftg", "nas.example.com"},
      {"/mnt/with blank/ftg", "OTHER"},
      {"/mnt/fs/tmp/ftg", nullptr},
      {"/mnt/v6/ftg", "fd00::1"},
  };
  for (const auto& c : cases) {
    const auto server = platform::FileServerByMountTable(kMountInfo, c.path);
    if (c.server == nullptr) {
      EXPECT_FALSE(server.has_value()) << c.path << " gave " << *server;
    } else {
      EXPECT_EQ(server.value_or("(none)"), c.server) << c.path;
    }
  }
  EXPECT_FALSE(platform::FileServerByMountTable("", "/mnt/fs").has_value());
}

TEST(NetworkShares, TheSystemTellsALocalFolderAndItsOwnName) {
  EXPECT_FALSE(platform::CurrentNetworkShares().FileServerOf("/").has_value());
  EXPECT_FALSE(platform::CurrentNetworkShares().ComputerName().value_or("").empty());
}

}  // namespace
