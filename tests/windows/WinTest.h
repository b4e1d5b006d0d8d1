// A small check harness for the programs that run under Wine: the cross build has no
// GoogleTest. Checks may run on any thread; the summary line is the one ctest-like runners
// read: "N passed, N failed".
#pragma once

#include <cstdio>
#include <string>
#include <type_traits>

#include "platform/Win32.h"

namespace qv::wintest {

void Check(bool ok, const char* expression, const char* file, int line,
           const std::string& detail = {});
// Prints the summary; the process's exit code: 0 when nothing failed.
int Summary(const char* program);
// Ends the process at once with a message: a wait that timed out leaves a modal loop behind
// that nothing else would end.
[[noreturn]] void Abort(const std::string& why);

}  // namespace qv::wintest

#define QV_CHECK(cond) ::qv::wintest::Check((cond), #cond, __FILE__, __LINE__)
// Each side is evaluated once.
#define QV_CHECK_EQ(a, b) ::qv::wintest::CheckEqual((a), (b), #a " == " #b, __FILE__, __LINE__)

namespace qv::wintest {
inline std::string Describe(const std::string& s) { return "\"" + s + "\""; }
inline std::string Describe(const char* s) { return Describe(std::string(s)); }
template <class T>
std::string Describe(const T& v) {
  if constexpr (std::is_enum_v<T>) {
    return std::to_string(static_cast<long long>(v));
  } else if constexpr (std::is_pointer_v<T>) {
    return std::to_string(reinterpret_cast<unsigned long long>(v));
  } else {
    return std::to_string(v);
  }
}

template <class A, class B>
void CheckEqual(const A& a, const B& b, const char* expression, const char* file, int line) {
  const bool equal = a == b;
  Check(equal, expression, file, line, equal ? std::string() : Describe(a) + " vs " + Describe(b));
}
}  // namespace qv::wintest
