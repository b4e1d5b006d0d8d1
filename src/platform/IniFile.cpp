#include "platform/IniFile.h"

#include <optional>
#include <vector>

namespace qv {

namespace {

// Calls f(index, line) for every line, without its line break.
template <class F>
void ForEachLine(std::string_view text, F&& f) {
  std::size_t start = 0;
  std::size_t index = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    auto line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    f(index++, line);
    start = end + 1;
  }
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

std::string_view FirstLine(std::string_view s) { return s.substr(0, s.find_first_of("\r\n")); }

constexpr std::size_t None = static_cast<std::size_t>(-1);

}  // namespace

void IniLookup(std::string_view text, std::span<TIniEntry> entries) {
  for (TIniEntry& e : entries) e.Value.reset();
  std::string_view section;
  bool inSection = false;
  ForEachLine(text, [&](std::size_t, std::string_view line) {
    if (auto name = SectionName(line)) {
      section = *name;
      inSection = true;
      return;
    }
    const auto kv = inSection ? KeyValue(line) : std::nullopt;
    if (!kv) return;
    for (TIniEntry& e : entries) {
      if (!e.Value && SameText(e.Key, kv->first) && SameText(e.Section, section))
        e.Value = std::string(kv->second);
    }
  });
}

std::string IniAssign(std::string_view text, std::span<const TIniEntry> entries) {
  // First pass: the line each entry replaces, and the last line of each entry's section.
  std::vector<std::size_t> replaceAt(entries.size(), None);
  std::vector<std::size_t> sectionEnd(entries.size(), None);
  std::string_view section;
  bool inSection = false;
  ForEachLine(text, [&](std::size_t i, std::string_view line) {
    const auto name = SectionName(line);
    if (name) {
      section = *name;
      inSection = true;
    }
    if (!inSection) return;
    const bool blank = Trim(line).empty();
    const auto kv = name ? std::nullopt : KeyValue(line);
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (!SameText(entries[e].Section, section)) continue;
      if (!blank) sectionEnd[e] = i;
      if (kv && replaceAt[e] == None && SameText(kv->first, entries[e].Key)) replaceAt[e] = i;
    }
  });

  std::string out;
  out.reserve(text.size() + 64 * entries.size());
  auto emit = [&out](std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    out.append(a).append(b).append(c).append("\r\n");
  };
  auto emitEntry = [&](const TIniEntry& e) { emit(FirstLine(e.Key), "=", FirstLine(*e.Value)); };
  ForEachLine(text, [&](std::size_t i, std::string_view line) {
    bool replaced = false;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (entries[e].Value && replaceAt[e] == i) {
        emitEntry(entries[e]);
        replaced = true;
      }
    }
    if (!replaced) emit(line);
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (entries[e].Value && replaceAt[e] == None && sectionEnd[e] == i) emitEntry(entries[e]);
    }
  });
  // Sections the text does not have, in the order their first entry comes.
  for (std::size_t e = 0; e < entries.size(); ++e) {
    if (!entries[e].Value || sectionEnd[e] != None) continue;
    bool sectionDone = false;
    for (std::size_t d = 0; d < e; ++d)
      sectionDone = sectionDone || (entries[d].Value && sectionEnd[d] == None &&
                                    SameText(entries[d].Section, entries[e].Section));
    if (sectionDone) continue;
    if (!out.empty()) emit("");
    emit("[", entries[e].Section, "]");
    for (std::size_t f = e; f < entries.size(); ++f) {
      if (entries[f].Value && sectionEnd[f] == None &&
          SameText(entries[f].Section, entries[e].Section))
        emitEntry(entries[f]);
    }
  }
  return out;
}

}  // namespace qv
