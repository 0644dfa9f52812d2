#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>

namespace quelvaris {

// Bytes that their user fills itself, such as a file read into them. Unlike a vector's, the
// room is made without writing zeros into it first, so that only the pages the bytes land on
// are ever touched: a reader's megabyte of room costs nothing for a file of a few lines.
class ByteBuffer {
 public:
  explicit ByteBuffer(std::size_t size)
      : data_(std::make_unique_for_overwrite<char[]>(size)), size_(size) {}

  char* data() { return data_.get(); }
  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  char& operator[](std::size_t i) { return data_[i]; }
  char operator[](std::size_t i) const { return data_[i]; }

  // `size` bytes of room; the first bytes, as many as both sizes hold, are kept.
  void resize(std::size_t size) {
    auto grown = std::make_unique_for_overwrite<char[]>(size);
    std::memcpy(grown.get(), data_.get(), std::min(size, size_));
    data_ = std::move(grown);
    size_ = size;
  }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_;
};

}  // namespace quelvaris
