#pragma once
// Memory for buffers the media libraries read or write with vector instructions (sample
// buffers, transform data, picture rows): av_malloc aligns as their vector code needs, while
// operator new (and so a plain std::vector) aligns only as malloc does. Needs libavutil bound.
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "Src/FFmpegStubs.h"

template <class T>
struct TAVAllocator {
  using value_type = T;
  TAVAllocator() = default;
  template <class U>
  TAVAllocator(const TAVAllocator<U>&) noexcept {}
  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    void* p = AVUtilStubs.av_malloc(n * sizeof(T));
    if (!p) throw std::bad_alloc();
    return static_cast<T*>(p);
  }
  void deallocate(T* p, size_t) noexcept { AVUtilStubs.av_free(p); }
  template <class U>
  bool operator==(const TAVAllocator<U>&) const noexcept {
    return true;
  }
};

template <class T>
using TAVVector = std::vector<T, TAVAllocator<T>>;
