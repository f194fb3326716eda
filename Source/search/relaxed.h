// Plain record fields that one thread writes while another reads them
// during a search (published scores, a thread's root result): every such
// access is a single relaxed atomic load or store, so a reader sees either
// the old or the new value and never a torn one.
#pragma once

#include <atomic>

template <class T>
inline T relaxed_load(const T& field) {
  return std::atomic_ref<T>(const_cast<T&>(field)).load(std::memory_order_relaxed);
}

template <class T, class V>
inline void relaxed_store(T& field, V value) {
  std::atomic_ref<T>(field).store(static_cast<T>(value), std::memory_order_relaxed);
}
