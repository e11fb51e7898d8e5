#include "help/UserManual.h"

#include "help/Help.h"
#include "platform/AppInfo.h"

#include <QFile>
#include <QRegularExpression>

namespace impmap::gui {

namespace {

QString ReadPage(const QString& resourcePath)
{
    QFile file(resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The part of a page between its body tags.
QString BodyOf(const QString& page)
{
    const qsizetype open = page.indexOf(QStringLiteral("<body>"));
    const qsizetype close = page.lastIndexOf(QStringLiteral("</body>"));
    if (open < 0 || close < open)
        return page;
    return page.mid(open + 6, close - open - 6);
}

} // namespace

QString UserManualHtml()
{
    const QString contents = ReadPage(HelpContentsPath());
    static const QRegularExpression topicLink(QStringLiteral("href=\"topic(\\d+)\\.html\""));
    static const QRegularExpression backLink(
        QStringLiteral("<p><a href=\"contents\\.html\">Contents</a></p>\\s*"));

    QString manual = QStringLiteral("<!DOCTYPE html>\n<html>\n<head><meta charset=\"utf-8\"><title>"
                                    "User manual</title></head>\n<body>\n<h1>") +
                     ApplicationTitle().toHtmlEscaped() +
                     QStringLiteral(" - User manual</h1>\n<a name=\"contents\"></a>\n");
    QString body = BodyOf(contents);
    body.replace(topicLink, QStringLiteral("href=\"#topic\\1\""));
    manual += body;

    // Each topic once, in the order the contents page lists them.
    QRegularExpressionMatchIterator links = topicLink.globalMatch(contents);
    QStringList seen;
    while (links.hasNext()) {
        const QString number = links.next().captured(1);
        if (seen.contains(number))
            continue;
        seen << number;
        QString topic = BodyOf(ReadPage(HelpTopicPath(number.toInt())));
        topic.replace(backLink, QString());
        topic.replace(topicLink, QStringLiteral("href=\"#topic\\1\""));
        manual += QStringLiteral("<hr>\n<a name=\"topic") + number + QStringLiteral("\"></a>\n") +
                  topic + QStringLiteral("<p><a href=\"#contents\">Contents</a></p>\n");
    }
    manual += QStringLiteral("</body>\n</html>\n");
    return manual;
}

} // namespace impmap::gui
