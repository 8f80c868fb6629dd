#pragma once

#include <QString>
#include <optional>

namespace vistrel {

// Reads an integer as the settings file and the command line write it: decimal,
// or hexadecimal after "0x" or "$", with an optional sign. Nothing when the text
// is not a whole number that fits an int.
std::optional<int> ParseInteger(const QString& text);

} // namespace vistrel
