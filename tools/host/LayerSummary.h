// What a written result layer holds, read back from its dBase table: the number of records and
// the sum of one numeric field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::host {

struct TLayerSummary {
  std::int64_t Records = 0;
  double FieldSum = 0.0;
};

// The .dbf beside the layer's .shp; nothing when it is missing, unreadable, or has no numeric
// field of that name.
std::optional<TLayerSummary> ReadLayerSummary(const std::string& shpPath,
                                              std::string_view numericField);

}  // namespace qv::host
