#pragma once

#include "convert/Rejection.h"
#include "source/SourceFormat.h"

#include <QString>
#include <string>
#include <string_view>

// Conversion between the core's byte texts and Qt's strings. Bytes are read and typed text is
// stored in the text encoding of the loaded source file (the window keeps it current through
// SetTextEncoding; Windows-1252 until a file is loaded). In Windows-1252 every byte keeps its
// value through a round trip; its five unassigned bytes show as U+FFFD.
namespace impmap::gui {

void SetTextEncoding(TextEncoding encoding);

QString FromBytes(std::string_view bytes);
QString FromBytes(std::string_view bytes, TextEncoding encoding);

// A typed character that the encoding cannot hold. Text() names it ("The character "X"
// (U+XXXX) cannot be stored in a ENCODING source file"); what() says the same in ASCII.
class UnstorableCharacter : public Rejection
{
public:
    UnstorableCharacter(const QString& character, char32_t code, TextEncoding encoding);
    const QString& Text() const { return text_; }

private:
    QString text_;
};

// How many bytes of a value or a line the window shows: a longer one is cut there and ends with
// an ellipsis, so that no control lays out megabytes of text. The bytes themselves stay whole.
inline constexpr std::size_t kShownBytes = 4000;
// Whether the window shows bytes cut.
inline bool TooLongToShow(std::string_view bytes)
{
    return bytes.size() > kShownBytes;
}
// FromBytes of at most the first kShownBytes (never half a UTF-8 character), with "…" after a
// cut.
QString ShownText(std::string_view bytes);

// Throws UnstorableCharacter for the first character the encoding cannot hold: nothing is ever
// replaced.
std::string ToBytes(const QString& text);
std::string ToBytes(const QString& text, TextEncoding encoding);

// The text without leading and trailing characters with codes 0 to 32, as the core trims bytes.
QString TrimmedText(const QString& text);

} // namespace impmap::gui
