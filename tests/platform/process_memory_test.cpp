#include "platform/process_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/byte_buffer.h"

namespace quelvaris {
namespace {

TEST(ProcessMemory, ZeroedMemoryReadsAsZerosAndTakesWrites) {
  // Larger than a large page and not a whole number of pages, so that its last page is partly
  // used; taken twice, so that the second block may be the memory the first gave back.
  constexpr std::size_t kBytes = (5u << 20) + 123;
  for (int round = 0; round < 2; ++round) {
    auto* bytes = static_cast<unsigned char*>(TakeZeroedMemory(kBytes));
    ASSERT_NE(bytes, nullptr);
    EXPECT_TRUE(std::all_of(bytes, bytes + kBytes, [](unsigned char b) { return b == 0; }));
    std::memset(bytes, 0xA5, kBytes);
    EXPECT_EQ(bytes[kBytes - 1], 0xA5);
    GiveBackZeroedMemory(bytes, kBytes);
  }
  GiveBackZeroedMemory(nullptr, kBytes);  // nothing to give back: no fault
}

TEST(ProcessMemory, ByteBufferKeepsItsBytesWhenResized) {
  ByteBuffer buffer(4);
  std::memcpy(buffer.data(), "abcd", 4);
  buffer.resize(1 << 20);
  EXPECT_EQ(buffer.size(), 1u << 20);
  EXPECT_EQ(std::string(buffer.data(), 4), "abcd");
  buffer.resize(2);
  EXPECT_EQ(std::string(buffer.data(), buffer.size()), "ab");
}

}  // namespace
}  // namespace quelvaris
