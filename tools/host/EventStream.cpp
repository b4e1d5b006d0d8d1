#include "EventStream.h"

#include "Json.h"
#include "catalogue/Message.h"
#include "catalogue/MessageCatalogue.h"

namespace qv::host {

namespace {

std::string JsonArguments(std::span<const TFormatArg> args) {
  std::string array = "[";
  for (const TFormatArg& arg : args) {
    if (array.size() > 1) array += ',';
    if (const auto* number = std::get_if<std::int64_t>(&arg)) {
      array += std::to_string(*number);
    } else {
      array += JsonString(std::get<std::string_view>(arg));
    }
  }
  return array + "]";
}

TJsonObject Event(std::string_view kind) {
  TJsonObject object;
  object.String("event", kind);
  return object;
}

TJsonObject& ShownMessage(TJsonObject& object, const TShownMessage& message) {
  return object.OptionalString("id", message.Id)
      .String("kind", message.Kind == TMessageKind::Error ? "error" : "message")
      .String("text", message.Text)
      .Raw("args", JsonArguments(message.Args));
}

TJsonObject& Layer(TJsonObject& object, std::string_view prefix, const TLayerFigures& layer,
                   bool area) {
  const std::string key(prefix);
  object.OptionalString(key + "Layer", layer.Written ? std::optional(layer.Path) : std::nullopt);
  if (layer.Written && layer.Summary) {
    object.Integer(key + "Count", layer.Summary->Records);
    if (area) object.Decimal(key + "Area", layer.Summary->FieldSum, 2);
  } else {
    object.Raw(key + "Count", layer.Written ? "null" : "0");
    if (area) object.Raw(key + "Area", layer.Written ? "null" : "0");
  }
  return object;
}

}  // namespace

void TEventStream::Write(const TJsonObject& object) {
  out_ << object.Text() << '\n' << std::flush;
}

void TEventStream::Information(std::string_view text) {
  Write(Event("info").String("text", text));
}

void TEventStream::Message(const TShownMessage& message) {
  auto event = Event("message");
  Write(ShownMessage(event, message));
}

void TEventStream::Question(std::string_view title, const TShownMessage& question, bool yes) {
  auto event = Event("prompt");
  Write(ShownMessage(event.String("title", title), question).String("answer", yes ? "yes" : "no"));
}

void TEventStream::Progress(const TTileProgress& progress, std::string_view text) {
  Write(Event("progress")
            .Integer("tile", progress.Tile)
            .Integer("row", progress.Row)
            .Integer("percent", progress.Percent)
            .String("text", text));
}

void TEventStream::ShareProgress(std::size_t done, std::size_t total) {
  Write(Event("progress")
            .Integer("done", static_cast<std::int64_t>(done))
            .Integer("total", static_cast<std::int64_t>(total))
            .Integer("percent", static_cast<std::int64_t>(total == 0 ? 100 : done * 100 / total)));
}

void TEventStream::Status(std::string_view text) { Write(Event("status").String("text", text)); }

void TEventStream::Usage(std::string_view problem) {
  Write(Event("usage").String("text", problem));
}

void TEventStream::Failure(std::string_view problem) {
  Write(Event("failure").String("text", problem));
}

void TEventStream::Summary(const TRunFigures& figures) {
  auto event = Event("summary");
  if (figures.Tiles > 0)
    event.Integer("tiles", figures.Tiles).Integer("tilesRead", figures.TilesRead);
  Layer(event, "wooded", figures.Woods, true);
  Layer(event, "crown", figures.Crowns, false);
  Write(event.Decimal("seconds", figures.Seconds, 3));
}

void TEventStream::Result(std::int32_t status) { Write(Event("result").Integer("status", status)); }

void WriteCatalogue(std::ostream& out) {
  out << "{";
  for (int id = 1; id < msgCount_; ++id) {
    const auto entry = static_cast<TMsg>(id);
    TJsonObject texts;
    // The source's texts are UTF-8 on every build: no conversion of the Windows build's.
    texts.Raw("en", JsonUtf8(SourceText(LanguageEnglish, entry)))
        .Raw("fr", JsonUtf8(SourceText(LanguageFrench, entry)))
        .Raw("de", JsonUtf8(SourceText(LanguageGerman, entry)));
    out << (id > 1 ? ",\n" : "\n") << JsonUtf8(MsgName(entry)) << ":" << texts.Text();
  }
  out << "\n}\n" << std::flush;
}

}  // namespace qv::host
