#include "platform/ErrorDisplay.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "platform/AppInfo.h"
#include "platform/Bytes.h"

#include <QFile>

namespace impmap::gui {

void ShowError(Prompts& prompts, const QString& message)
{
    // The core decides on the byte text; the message itself is kept as it is, so characters that
    // have no byte of their own survive.
    const std::string bytes = ToBytes(message);
    const bool gainsFullStop = WithFinalFullStop(bytes).size() > bytes.size();
    prompts.Error(ApplicationTitle(), gainsFullStop ? message + u'.' : message);
}

QString ErrorText(const std::exception& error)
{
    // A file failure names its file in the file system's encoding, as the path was given.
    if (dynamic_cast<const FileError*>(&error) != nullptr)
        return QFile::decodeName(error.what());
    return FromBytes(error.what());
}

void ShowError(Prompts& prompts, const std::exception& error)
{
    ShowError(prompts, ErrorText(error));
}

} // namespace impmap::gui
