#include "platform/Bytes.h"

#include <QByteArray>

namespace impmap::gui {

QString FromBytes(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text)
{
    const QByteArray latin1 = text.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

QString TrimmedText(const QString& text)
{
    const auto trimmable = [](QChar c) { return c.unicode() <= 32; };
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && trimmable(text[first])) {
        ++first;
    }
    while (end > first && trimmable(text[end - 1])) {
        --end;
    }
    return text.mid(first, end - first);
}

} // namespace impmap::gui
