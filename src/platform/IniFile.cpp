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

namespace {

// Where each entry goes: the line it replaces, and the last line of its section that is not
// blank (None when the text has no such line).
struct TIniPlaces {
  std::vector<std::size_t> ReplaceAt;
  std::vector<std::size_t> SectionEnd;
};

TIniPlaces PlaceEntries(std::string_view text, std::span<const TIniEntry> entries) {
  TIniPlaces places{std::vector(entries.size(), None), std::vector(entries.size(), None)};
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
      if (!blank) places.SectionEnd[e] = i;
      if (kv && places.ReplaceAt[e] == None && SameText(kv->first, entries[e].Key))
        places.ReplaceAt[e] = i;
    }
  });
  return places;
}

// The text being written: every line ends in CR LF, as the Windows profile functions write.
class TIniOutput {
 public:
  explicit TIniOutput(std::size_t capacity) { out_.reserve(capacity); }
  void Line(std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    out_.append(a).append(b).append(c).append("\r\n");
  }
  // A key or value cannot break the line it is written on.
  void Entry(const TIniEntry& e) { Line(FirstLine(e.Key), "=", FirstLine(*e.Value)); }
  bool Empty() const { return out_.empty(); }
  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// The text's lines, each entry in place of the line it replaces, or after the last line of its
// section when the section has no such key.
void RewriteLines(std::string_view text, std::span<const TIniEntry> entries,
                  const TIniPlaces& places, TIniOutput& out) {
  ForEachLine(text, [&](std::size_t i, std::string_view line) {
    bool replaced = false;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (entries[e].Value && places.ReplaceAt[e] == i) {
        out.Entry(entries[e]);
        replaced = true;
      }
    }
    if (!replaced) out.Line(line);
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (entries[e].Value && places.ReplaceAt[e] == None && places.SectionEnd[e] == i)
        out.Entry(entries[e]);
    }
  });
}

// Sections the text does not have, in the order their first entry comes, each with all its
// entries.
void AppendMissingSections(std::span<const TIniEntry> entries, const TIniPlaces& places,
                           TIniOutput& out) {
  const auto missing = [&](std::size_t e, std::string_view section) {
    return entries[e].Value && places.SectionEnd[e] == None &&
           SameText(entries[e].Section, section);
  };
  for (std::size_t e = 0; e < entries.size(); ++e) {
    const std::string_view section = entries[e].Section;
    if (!missing(e, section)) continue;
    bool sectionDone = false;
    for (std::size_t d = 0; d < e; ++d) sectionDone = sectionDone || missing(d, section);
    if (sectionDone) continue;
    if (!out.Empty()) out.Line("");
    out.Line("[", section, "]");
    for (std::size_t f = e; f < entries.size(); ++f)
      if (missing(f, section)) out.Entry(entries[f]);
  }
}

}  // namespace

std::string IniAssign(std::string_view text, std::span<const TIniEntry> entries) {
  const TIniPlaces places = PlaceEntries(text, entries);
  TIniOutput out(text.size() + 64 * entries.size());
  RewriteLines(text, entries, places, out);
  AppendMissingSections(entries, places, out);
  return out.Take();
}

}  // namespace qv
