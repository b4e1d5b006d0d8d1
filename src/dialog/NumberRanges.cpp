#include "dialog/NumberRanges.h"

#include <cmath>

#include "dialog/NumberText.h"
#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

namespace {

constexpr double kMinCirclePoints = 3;
constexpr double kMaxCirclePoints = 360;
constexpr double kMinWoodedAreaLimit = 1.0;  // m2: one pixel

// The field's caption in the window, without the colon some labels end with. The two radius
// fields share one heading, so each has a caption of its own.
std::string Caption(TControlId field) {
  using enum TControlId;
  TMsg id = msgLblMinWoodedArea;
  switch (field) {
    case edtMinTreeHeight: id = msgLblMinTreeHeight; break;
    case edTreeRadiusParam1: id = msgRadiusSlope; break;
    case edTreeRadiusParam0: id = msgRadiusIntercept; break;
    case edNumCirclePoints: id = msgLblNumCirclePoints; break;
    case edtMinClearingArea: id = msgLblMinClearingArea; break;
    default: break;
  }
  std::string caption = Msg(id);
  while (!caption.empty() && (caption.back() == ':' || caption.back() == ' ')) caption.pop_back();
  return caption;
}

std::string Number(double value) {
  return FloatToSettingText(value, Platform().NumberFormat());
}

}  // namespace

bool TAcceptedRange::Contains(double value) const {
  if (!std::isfinite(value) || !std::isfinite(Low)) return false;
  if (LowIncluded ? value < Low : value <= Low) return false;
  return !High || value <= *High;
}

TAcceptedRange AcceptedRange(TControlId field, double minTreeHeight, double slope) {
  using enum TControlId;
  switch (field) {
    case edtMinTreeHeight: return {0.0, false, {}};
    case edTreeRadiusParam0: {
      // "+ 0.0" turns the -0 of a zero slope into 0.
      const double low = -(slope * minTreeHeight) + 0.0;
      return {low, false, {}};
    }
    case edNumCirclePoints: return {kMinCirclePoints, true, kMaxCirclePoints};
    case edtMinWoodedArea: return {kMinWoodedAreaLimit, true, {}};
    default: return {0.0, true, {}};  // the slope and the clearing area
  }
}

std::string RefusalText(TControlId field, const TAcceptedRange& range) {
  std::string text = Caption(field) + ": " + Msg(msgInvalidNumber);
  // A limit that is not finite cannot be written down; the field holds nothing then.
  if (!std::isfinite(range.Low)) return text;
  const std::string low = Number(range.Low);
  if (range.High) return text + " " + Format(Msg(msgRangeFromTo), {low, Number(*range.High)});
  return text + " " + Format(Msg(range.LowIncluded ? msgRangeAtLeast : msgRangeAbove), {low});
}

}  // namespace qv
