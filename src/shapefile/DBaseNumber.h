// Numbers as a dBase numeric field holds them: text right-aligned in the field, padded with
// blanks, "." as decimal separator whatever the process locale.
//
// A number that does not fit its field becomes asterisks filling the field, the dBase way of
// saying "not representable", so the record keeps its length and the fields after it stay where
// the header says they are. NaN and infinities are not representable either.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

// Append the field's text to out (a table's records are formatted into one reused string).
void AppendDBaseInteger(std::string& out, std::int64_t value, int width);
void AppendDBaseFixed(std::string& out, double value, int width, int decimals);

// Like printf's "%*d".
std::string FormatDBaseInteger(std::int64_t value, int width);

// Like printf's "%*.*f": rounded to the nearest of the exact binary value, ties to even.
std::string FormatDBaseFixed(double value, int width, int decimals);

}  // namespace qv
