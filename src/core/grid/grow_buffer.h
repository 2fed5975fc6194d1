#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace tarvolin::core {

/// Moves a block of `oldBytes` (of which `usedBytes` are in use) to one of `newBytes`.
/// Small blocks live on the C heap; a large one is a private mapping advised for huge
/// pages and grown by remapping where the system can. Throws std::bad_alloc.
void* growBlock(void* p, size_t oldBytes, size_t usedBytes, size_t newBytes, bool& mapped);
/// Frees what growBlock gave.
void releaseBlock(void* p, size_t bytes, bool mapped) noexcept;

/// A growable array of a trivially copyable type whose large blocks grow by remapping
/// (growBlock), so that growing a grid of tens of megabytes neither copies it nor touches
/// its pages again. Throws std::bad_alloc.
template <class T>
class GrowBuffer {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  GrowBuffer() = default;
  ~GrowBuffer() { releaseBlock(m_data, m_capacity * sizeof(T), m_mapped); }
  GrowBuffer(const GrowBuffer& other) { assign(other); }
  GrowBuffer& operator=(const GrowBuffer& other) {
    if (this != &other) {
      m_size = 0;
      assign(other);
    }
    return *this;
  }
  GrowBuffer(GrowBuffer&& other) noexcept { swap(other); }
  GrowBuffer& operator=(GrowBuffer&& other) noexcept {
    swap(other);
    return *this;
  }
  void swap(GrowBuffer& other) noexcept {
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    std::swap(m_capacity, other.m_capacity);
    std::swap(m_mapped, other.m_mapped);
    std::swap(m_written, other.m_written);
  }

  [[nodiscard]] T* data() { return m_data; }
  [[nodiscard]] const T* data() const { return m_data; }
  [[nodiscard]] size_t size() const { return m_size; }
  [[nodiscard]] size_t capacity() const { return m_capacity; }
  [[nodiscard]] T* begin() { return m_data; }
  [[nodiscard]] T* end() { return m_data + m_size; }
  [[nodiscard]] T& operator[](size_t i) { return m_data[i]; }
  [[nodiscard]] const T& operator[](size_t i) const { return m_data[i]; }

  void clear() { m_size = 0; }

  /// New elements are zero bytes.
  void resize(size_t n) {
    const size_t old = m_size;
    if (n > m_capacity) grow(n);
    // Beyond m_written a fresh mapping holds zeros already.
    const size_t dirty = n < m_written ? n : m_written;
    if (dirty > old) std::memset(static_cast<void*>(m_data + old), 0, (dirty - old) * sizeof(T));
    m_size = n;
    if (n > m_written) m_written = n;
  }

  /// New elements are left as they are: the caller writes them.
  void resizeUninitialized(size_t n) {
    if (n > m_capacity) grow(n);
    m_size = n;
    if (n > m_written) m_written = n;
  }

  void append(const T* p, size_t n) {
    if (n == 0) return;
    const size_t at = m_size;
    resizeUninitialized(m_size + n);
    std::memcpy(static_cast<void*>(m_data + at), p, n * sizeof(T));
  }

 private:
  void assign(const GrowBuffer& other) {
    resizeUninitialized(other.m_size);
    if (other.m_size > 0) std::memcpy(static_cast<void*>(m_data), other.m_data, other.m_size * sizeof(T));
  }

  void grow(size_t want);

  T* m_data = nullptr;
  size_t m_size = 0;
  size_t m_capacity = 0;
  bool m_mapped = false;  // m_data is a mapping of its own (see growBlock)
  size_t m_written = 0;   // elements from here to m_capacity are known to be zero
};

template <class T>
void GrowBuffer<T>::grow(size_t want) {
  size_t capacity = m_capacity < 16 ? 16 : m_capacity * 2;
  if (capacity < want) capacity = want;
  if (capacity > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
  const bool wasMapped = m_mapped;
  m_data =
      static_cast<T*>(growBlock(m_data, m_capacity * sizeof(T), m_size * sizeof(T), capacity * sizeof(T), m_mapped));
  // A new mapping holds the used part and zeros; a grown mapping gains zeros; memory from
  // the C heap may hold anything.
  if (!m_mapped)
    m_written = capacity;
  else if (!wasMapped)
    m_written = m_size;
  m_capacity = capacity;
}

}  // namespace tarvolin::core
