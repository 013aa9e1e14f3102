#include "platform/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace {

// The block is rounded up to whole pages (huge ones from their size on), and all
// of it is ours to write: a mapping trimmed wrongly would fault at one of its ends.
TEST(WritableBlock, IsWholePagesAllWritableAndMovesWithItsOwner) {
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  for (const auto& [asked, given] : {std::pair<std::size_t, std::size_t>{1, 4096},
                                     {4097, 8192},
                                     {kHugePage - 1, kHugePage},
                                     {kHugePage, kHugePage},
                                     {kHugePage + 1, 2 * kHugePage}}) {
    platform::WritableBlock block(asked);
    ASSERT_EQ(block.size(), given);
    std::memset(block.data(), 'x', block.size());
    char* const data = block.data();
    platform::WritableBlock moved(std::move(block));
    EXPECT_EQ(moved.data(), data);
    EXPECT_EQ(moved.data()[given - 1], 'x');
  }
}

}  // namespace
