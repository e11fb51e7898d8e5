#include "platform/ExampleSource.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace impmap::gui {

QByteArray ExampleSourceContent()
{
    return QByteArrayLiteral(
        "First Name,Middle,Last Name,Tax ID,Address 1,City,State,Zip,Amount\r\n"
        "John,A,Doe,123-45-6789,1 First Street,New York,NY,10012-1002,150000.5\r\n"
        "\r\n"
        "John,B,Smith,123-45-6780,2 Second Street,LIC,NY,11101,3700.25\r\n"
        "Jane,A,Doe,321-45-6789,3 Third Street,Staten Island,NY,10306,4500\r\n"
        "\r\n"
        "Jane,Dee,Smith,321-45-6780,4 Fourth Street,Garden City,NY,11512-1112,16000\r\n");
}

bool WriteExampleSource(const QString& folder, QString* error)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kExampleSourceFileName));
    if (QFileInfo::exists(path)) {
        return true;
    }
    // Written to a temporary file and renamed, so a failed write leaves no half file behind.
    QSaveFile file(path);
    const QByteArray content = ExampleSourceContent();
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit()) {
        return true;
    }
    if (error != nullptr) {
        *error = QStringLiteral("Cannot create file \"%1\". %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    return false;
}

} // namespace impmap::gui
