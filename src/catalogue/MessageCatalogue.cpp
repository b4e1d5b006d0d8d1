#include "catalogue/MessageCatalogue.h"

#include "catalogue/Latin1.h"

namespace qv {

void TMessageCatalogue::SetLanguage(TLanguageCode code, TTextEncoding encoding) {
  for (int id = 1; id < msgCount_; ++id) {
    const auto text = SourceText(code, static_cast<TMsg>(id));
    texts_[static_cast<std::size_t>(id)] =
        encoding == TTextEncoding::Windows1252 ? Utf8ToLatin1(text) : std::string(text);
  }
}

const std::string& TMessageCatalogue::Text(TMsg id) const {
  static const std::string kNone;
  if (id <= 0 || id >= msgCount_) return kNone;
  return texts_[static_cast<std::size_t>(id)];
}

}  // namespace qv
