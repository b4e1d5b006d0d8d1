// What Calculate accepts in the six numeric fields besides a text that converts.
//
// The limits keep out values that would break the computation: a minimum height of 0 makes
// every cell a tree, a crown radius of 0 or less gives circles without points, a circle needs
// three points and a wooded area one pixel. The intercept's limit follows from the two values
// above it in the window: the lowest tree (the minimum height) must still get a radius above 0.
#pragma once

#include <optional>
#include <string>

#include "dialog/DialogControls.h"

namespace qv {

struct TAcceptedRange {
  double Low = 0.0;
  bool LowIncluded = true;
  std::optional<double> High;  // included; none: no upper limit

  // Finite and within the limits. A range whose low limit is not finite holds nothing.
  bool Contains(double value) const;
};

// The range of a numeric field. minTreeHeight and slope are the values already accepted above
// it; only the intercept depends on them.
TAcceptedRange AcceptedRange(TControlId field, double minTreeHeight, double slope);

// A refusal worded for a view that shows no focus: "caption: Invalid number (range)" in the
// run's language, the limits in the system's number format.
std::string RefusalText(TControlId field, const TAcceptedRange& range);

}  // namespace qv
