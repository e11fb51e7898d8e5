#pragma once

#include <QString>
#include <string>
#include <string_view>

// Conversion between the core's byte texts (one byte per character) and Qt's strings. Bytes map
// one to one onto the characters U+0000 to U+00FF, so a text survives the round trip unchanged;
// a character beyond U+00FF cannot be stored in one byte and becomes "?".
namespace impmap::gui {

QString FromBytes(std::string_view bytes);
std::string ToBytes(const QString& text);

// The text without leading and trailing characters with codes 0 to 32, as the core trims bytes.
QString TrimmedText(const QString& text);

} // namespace impmap::gui
