#include "platform/Paths.h"

namespace qv {

bool IsPathDelimiter(char c, TPathRules rules) {
  if (rules == TPathRules::Windows) return c == '\\' || c == ':';
  return c == '/' || c == '\\';
}

char SeparatorOf(TPathRules rules) { return rules == TPathRules::Windows ? '\\' : '/'; }

namespace {

// A separator is a delimiter that names a directory level (not the drive colon).
bool IsSeparator(char c, TPathRules rules) {
  return c == '\\' || (rules == TPathRules::Posix && c == '/');
}

std::string_view::size_type LastDelimiter(std::string_view s, TPathRules rules, bool withDot) {
  for (auto i = s.size(); i-- > 0;) {
    if (IsPathDelimiter(s[i], rules) || (withDot && s[i] == '.')) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string ReplaceExtension(std::string_view name, std::string_view ext, TPathRules rules) {
  const auto i = LastDelimiter(name, rules, true);
  std::string result(name);
  if (i != std::string_view::npos && name[i] == '.') result.resize(i);
  result += ext;
  return result;
}

std::string DirectoryOf(std::string_view path, TPathRules rules) {
  const auto i = LastDelimiter(path, rules, false);
  if (i == std::string_view::npos) return {};
  auto len = i + 1;
  if (i > 0 && IsSeparator(path[i], rules) && !IsPathDelimiter(path[i - 1], rules)) len = i;
  return std::string(path.substr(0, len));
}

std::string FileNameOf(std::string_view path, TPathRules rules) {
  const auto i = LastDelimiter(path, rules, false);
  if (i == std::string_view::npos) return std::string(path);
  return std::string(path.substr(i + 1));
}

std::string IncludeTrailingDelimiter(std::string_view path, TPathRules rules) {
  std::string result(path);
  if (result.empty() || !IsSeparator(result.back(), rules)) result += SeparatorOf(rules);
  return result;
}

std::string ExcludeTrailingDelimiter(std::string_view path, TPathRules rules) {
  std::string result(path);
  if (!result.empty() && IsSeparator(result.back(), rules)) result.pop_back();
  return result;
}

std::string NativePath(std::string_view path) {
  std::string result(path);
#ifndef _WIN32
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
#endif
  return result;
}

}  // namespace qv
