#include "platform/FileFilters.h"

#include <QFileInfo>

namespace impmap::gui {

namespace {

QStringList Patterns(const QString& patternText)
{
    QStringList patterns;
    for (const QString& pattern : patternText.split(u';')) {
        if (!pattern.trimmed().isEmpty()) {
            patterns.append(pattern.trimmed());
        }
    }
    if (patterns.isEmpty()) {
        patterns.append(QStringLiteral("*"));
    }
    return patterns;
}

} // namespace

QStringList QtNameFilters(const QString& filter)
{
    QStringList entries;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = Patterns(parts.value(i + 1)).join(u' ');
        if (description.isEmpty() && parts.value(i + 1).trimmed().isEmpty()) {
            continue;
        }
        const QString suffix = u'(' + patterns + u')';
        if (description.endsWith(suffix)) {
            entries.append(description);
        } else if (description.isEmpty()) {
            entries.append(suffix);
        } else {
            entries.append(description + u' ' + suffix);
        }
    }
    return entries;
}

QString QtFileFilter(const QString& filter)
{
    return QtNameFilters(filter).join(QStringLiteral(";;"));
}

QString FilterExtension(const QString& qtNameFilter)
{
    const qsizetype open = qtNameFilter.lastIndexOf(u'(');
    const qsizetype close = qtNameFilter.lastIndexOf(u')');
    if (open < 0 || close < open) {
        return {};
    }
    const QString first =
        qtNameFilter.mid(open + 1, close - open - 1).section(u' ', 0, 0, QString::SectionSkipEmpty);
    if (!first.startsWith(QStringLiteral("*."))) {
        return {};
    }
    const QString extension = first.mid(2);
    const bool wild = extension.isEmpty() || extension.contains(u'*') || extension.contains(u'?') ||
                      extension.contains(u'[');
    return wild ? QString() : extension;
}

QString WithDefaultExtension(const QString& fileName, const QString& extension)
{
    if (extension.isEmpty() || fileName.isEmpty() ||
        QFileInfo(fileName).fileName().contains(u'.')) {
        return fileName;
    }
    return fileName + u'.' + extension;
}

} // namespace impmap::gui
