#pragma once

#include <QByteArray>
#include <QString>

// The example source file that start-up leaves in the EXAMPLE working folder, so a new user has a
// small delimited file to try a mapping on.
namespace impmap::gui {

inline constexpr char kExampleSourceFileName[] = "EXAMPLE_SOURCE.TXT";

// The file's bytes: a header line and six records (two of them empty), each ended by CR LF.
QByteArray ExampleSourceContent();

// Writes the example into folder unless a file of that name is already there; an existing file is
// never touched. Returns false, with the reason in *error, when the file cannot be written.
bool WriteExampleSource(const QString& folder, QString* error);

} // namespace impmap::gui
