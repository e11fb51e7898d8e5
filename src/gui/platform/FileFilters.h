#pragma once

#include <QString>
#include <QStringList>

// File dialog filters. The program writes them as "Description|*.A;*.B|Description|*.C"; Qt's
// dialogs take entries of the form "Description (*.A *.B)".
namespace impmap::gui {

// One Qt entry per description and pattern pair. A description that already ends with its
// patterns in parentheses is kept as it is; otherwise they are appended: "Text Format|*.TXT"
// gives "Text Format (*.TXT)", and "Excel (*.CSV), Text (*.TXT)|*.CSV;*.TXT" gives
// "Excel (*.CSV), Text (*.TXT) (*.CSV *.TXT)". A description without a pattern matches all
// files.
QStringList QtNameFilters(const QString& filter);

// The same entries joined by ";;", the form of Qt's static dialog functions.
QString QtFileFilter(const QString& filter);

// The extension of the first pattern of a Qt entry that names one ("MAP" for
// "Vellorum Map File (*.MAP)"); empty for patterns such as "*.*".
QString FilterExtension(const QString& qtNameFilter);

// fileName with "." + extension appended when its name part has no extension and extension is
// not empty.
QString WithDefaultExtension(const QString& fileName, const QString& extension);

} // namespace impmap::gui
