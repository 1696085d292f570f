// A byte buffer of fixed size that starts all zero without writing its pages: a large one
// comes from calloc, which takes fresh pages from the system, zero already. So buffers of
// several megabytes that the program may never use (a fax station's picture before its first
// chart) cost neither time nor memory until written, where a std::vector would fill them
// byte by byte while the window starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace tern {

// Thread: one thread at a time.
class ZeroedBytes {
 public:
  explicit ZeroedBytes(std::size_t size)
      : data_(static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1))), size_(size) {
    if (data_ == nullptr) throw std::bad_alloc();
  }
  ~ZeroedBytes() { std::free(data_); }
  ZeroedBytes(const ZeroedBytes&) = delete;
  ZeroedBytes& operator=(const ZeroedBytes&) = delete;
  ZeroedBytes(ZeroedBytes&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  ZeroedBytes& operator=(ZeroedBytes&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }

  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::uint8_t* begin() { return data_; }
  std::uint8_t* end() { return data_ + size_; }
  const std::uint8_t* begin() const { return data_; }
  const std::uint8_t* end() const { return data_ + size_; }
  std::uint8_t& operator[](std::size_t i) { return data_[i]; }
  std::uint8_t operator[](std::size_t i) const { return data_[i]; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace tern
