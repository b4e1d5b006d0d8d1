#include "platform/IniFile.h"

#include <vector>

namespace qv {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::string_view::size_type start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    auto line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::string_view::size_type i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

// The section name of a "[name]" line, or nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return line.empty() || line.front() == ';' || line.front() == '#';
}

// Key and value of a "key=value" line.
std::optional<std::pair<std::string_view, std::string_view>> KeyValue(std::string_view line) {
  if (IsComment(line)) return std::nullopt;
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return std::make_pair(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
}

}  // namespace

std::optional<std::string> IniLookup(std::string_view text, std::string_view section,
                                     std::string_view key) {
  bool inSection = false;
  for (auto line : SplitLines(text)) {
    if (auto name = SectionName(line)) {
      inSection = SameText(*name, section);
      continue;
    }
    if (!inSection) continue;
    if (auto kv = KeyValue(line); kv && SameText(kv->first, key)) {
      return std::string(kv->second);
    }
  }
  return std::nullopt;
}

std::string IniAssign(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
  const auto lines = SplitLines(text);
  // A line break inside a key or value would plant lines of its own in the file.
  auto firstLine = [](std::string_view s) { return s.substr(0, s.find_first_of("\r\n")); };
  std::string newLine(firstLine(key));
  newLine += '=';
  newLine += firstLine(value);
  // Line index to replace, or after which to insert.
  std::ptrdiff_t replaceAt = -1;
  std::ptrdiff_t lastOfSection = -1;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i])) {
      inSection = SameText(*name, section);
      if (inSection && lastOfSection < 0) lastOfSection = static_cast<std::ptrdiff_t>(i);
      continue;
    }
    if (!inSection) continue;
    if (!Trim(lines[i]).empty()) lastOfSection = static_cast<std::ptrdiff_t>(i);
    if (auto kv = KeyValue(lines[i]); kv && SameText(kv->first, key) && replaceAt < 0) {
      replaceAt = static_cast<std::ptrdiff_t>(i);
    }
  }

  std::string out;
  auto emit = [&out](std::string_view l) {
    out += l;
    out += "\r\n";
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto at = static_cast<std::ptrdiff_t>(i);
    if (at == replaceAt) {
      emit(newLine);
      continue;
    }
    emit(lines[i]);
    if (replaceAt < 0 && at == lastOfSection) emit(newLine);
  }
  if (replaceAt < 0 && lastOfSection < 0) {
    if (!out.empty()) emit("");
    emit("[" + std::string(section) + "]");
    emit(newLine);
  }
  return out;
}

}  // namespace qv
