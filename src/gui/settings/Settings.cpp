#include "settings/Settings.h"

#include "platform/Bytes.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace impmap::gui {

namespace {

const QString kTextDirectoryKey = QStringLiteral("Import/VL2022/TextDirectory");
const QString kProgramPathKey = QStringLiteral("Import/VL2022");
const QString kLastMappingKey = QStringLiteral("ImportMapping/2022/LastMapping");
const QString kSourcePathKey = QStringLiteral("ImportMapping/2022/SourcePath");
const QString kRecentMapsGroup = QStringLiteral("ImportMapping/2022/RecentMaps");
constexpr int kRecentMapsKept = 10;

QString UserIniFilePath()
{
#ifdef Q_OS_WIN
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VELLORUM.ini");
#endif
}

} // namespace

Settings::Settings() : iniFilePath_(UserIniFilePath()) {}

Settings::Settings(QString iniFilePath) : iniFilePath_(std::move(iniFilePath)) {}

std::unique_ptr<QSettings> Settings::Open() const
{
    if (iniFilePath_.isEmpty()) {
        return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\VELLORUM"),
                                           QSettings::NativeFormat);
    }
    return std::make_unique<QSettings>(iniFilePath_, QSettings::IniFormat);
}

QString Settings::Read(const QString& key, const QString& defaultValue) const
{
    const QVariant value = Open()->value(key);
    return value.isValid() ? value.toString() : defaultValue;
}

void Settings::Write(const QString& key, const QString& value)
{
    const std::unique_ptr<QSettings> store = Open();
    store->setValue(key, value);
    store->sync();
}

QString Settings::TextDirectory() const
{
    return Read(kTextDirectoryKey, CurrentFolder());
}

void Settings::SetTextDirectory(const QString& folder)
{
    Write(kTextDirectoryKey, folder);
}

void Settings::SetProgramPath(const QString& programFilePath)
{
    Write(kProgramPathKey, programFilePath);
}

QString Settings::LastMapping() const
{
    return TrimmedText(Read(kLastMappingKey, QString()));
}

void Settings::SetLastMapping(const QString& mapFilePath)
{
    Write(kLastMappingKey, mapFilePath);
}

QString Settings::SourcePath() const
{
    const QString folder = Read(kSourcePathKey, QString());
    if (TrimmedText(folder).isEmpty() || !QFileInfo(folder).isDir()) {
        return CurrentFolder();
    }
    return folder;
}

void Settings::SetSourcePath(const QString& folder)
{
    Write(kSourcePathKey, folder);
}

QStringList Settings::RecentMaps() const
{
    const std::unique_ptr<QSettings> store = Open();
    QStringList paths;
    for (int i = 1; i <= kRecentMapsKept; ++i) {
        const QString path = store->value(kRecentMapsGroup + u'/' + QString::number(i)).toString();
        if (!TrimmedText(path).isEmpty())
            paths << path;
    }
    return paths;
}

void Settings::SetRecentMaps(const QStringList& paths)
{
    const std::unique_ptr<QSettings> store = Open();
    store->remove(kRecentMapsGroup);
    for (int i = 0; i < paths.size() && i < kRecentMapsKept; ++i)
        store->setValue(kRecentMapsGroup + u'/' + QString::number(i + 1), paths[i]);
    store->sync();
}

QString CurrentFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

QString FolderWithTrailingSeparator(const QString& filePath)
{
    const QString native = QDir::toNativeSeparators(filePath);
    const qsizetype last = native.lastIndexOf(QDir::separator());
    return last < 0 ? QString() : native.left(last + 1);
}

} // namespace impmap::gui
