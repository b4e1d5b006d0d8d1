// The catalogue as an object: one set of texts for one language in one character set.
//
// The global catalogue of Languages.h is one instance of this; tests build their own to see
// the whole life of a catalogue (empty, then filled, then switched) whatever ran before.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "catalogue/Languages.h"

namespace qv {

enum class TTextEncoding { Utf8, Windows1252 };

#ifdef _WIN32
inline constexpr TTextEncoding NativeTextEncoding = TTextEncoding::Windows1252;
#else
inline constexpr TTextEncoding NativeTextEncoding = TTextEncoding::Utf8;
#endif

class TMessageCatalogue {
 public:
  // Replaces every text by the language's (2 French, 4 English, anything else German).
  void SetLanguage(TLanguageCode code, TTextEncoding encoding);
  // Empty before the first SetLanguage, and for identifiers outside the catalogue.
  const std::string& Text(TMsg id) const;

 private:
  std::array<std::string, msgCount_> texts_{};
};

// The text of an entry as written in the source (UTF-8); empty outside the catalogue.
std::string_view SourceText(TLanguageCode code, TMsg id);

}  // namespace qv
