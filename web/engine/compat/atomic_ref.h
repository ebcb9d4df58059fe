// Included ahead of every source in the WebAssembly build: Debian's emscripten ships a
// libc++ (LLVM 14) without std::atomic_ref. This stand-in offers the relaxed loads and stores
// the transposition table makes, through the compiler's atomic built-ins; a library that has
// the real one is left alone.
#pragma once

#include <atomic>
#include <version>

#if !defined(__cpp_lib_atomic_ref)
namespace std {
template <class T> struct atomic_ref {
    T& value;
    explicit atomic_ref(T& v) : value(v) {}
    T    load(memory_order order) const { return __atomic_load_n(&value, int(order)); }
    void store(T v, memory_order order) const { __atomic_store_n(&value, v, int(order)); }
};
}  // namespace std
#endif
