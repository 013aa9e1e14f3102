#include "platform/files.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/fake/held_lock.h"
#include "platform/fake/scoped_environment.h"

namespace {

using platform::ReadWholeFile;

// What a file gives and, when it gives nothing, why.
std::string Read(const std::filesystem::path& path) {
  std::string why;
  const auto content = ReadWholeFile(path, &why);
  return content ? "read: " + *content : "refused: " + why;
}

TEST(Files, WhatCannotBeReadSaysWhy) {
  platform::fake::TempTree tree;
  const auto file = tree.Write("KUND.DBF", "bytes");
  EXPECT_EQ(Read(file), "read: bytes");
  EXPECT_EQ(Read(tree / "LEV.DBF"), "refused: No such file or directory");
  EXPECT_EQ(Read(tree.MakeFolder("PRIS.DBF")), "refused: not a regular file");
}

// A file another program is writing under its lock is refused at once, not
// waited for; another program's read lock hinders nobody.
TEST(Files, AFileLockedForWritingByAnotherIsRefusedWithoutWaiting) {
  platform::fake::TempTree tree;
  const auto file = tree.Write("KUND.DBF", "bytes");
  {
    platform::fake::HeldWriteLock lock(file);
    EXPECT_EQ(Read(file), std::string("refused: ") + platform::kLockedByAnotherProgram);
  }
  EXPECT_EQ(Read(file), "read: bytes");

  // Another process's record lock on a part of the file; then only its read lock.
  for (short type : {F_WRLCK, F_RDLCK}) {
    int ready[2], done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(done[1]);  // so that the parent's close ends the wait below
      const int fd = ::open(file.c_str(), O_RDWR);
      struct flock lock {};
      lock.l_type = type;
      lock.l_whence = SEEK_SET;
      lock.l_start = 2;
      lock.l_len = 1;
      const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
      (void)!::write(ready[1], &ok, 1);
      char end;
      (void)!::read(done[0], &end, 1);  // until the parent has looked
      ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    EXPECT_EQ(Read(file), type == F_WRLCK ? std::string("refused: ") + platform::kLockedByAnotherProgram
                                          : std::string("read: bytes"));
    ::close(done[1]);
    ::waitpid(child, nullptr, 0);
    for (int fd : {ready[0], ready[1], done[0]}) ::close(fd);
  }
}

}  // namespace
