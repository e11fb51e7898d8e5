#include "prompts/ErrorDisplay.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "platform/AppInfo.h"
#include "platform/Bytes.h"

#include <QFile>
#include <algorithm>

namespace impmap::gui {

void ShowError(Prompts& prompts, const QString& message)
{
    // The core's rule on the last character; one beyond a byte sorts after "." as well.
    const char last = message.isEmpty()
                          ? '\0'
                          : static_cast<char>(std::min<char16_t>(message.back().unicode(), 0xFF));
    const std::string probe = message.isEmpty() ? std::string() : std::string(1, last);
    const bool gainsFullStop = WithFinalFullStop(probe).size() > probe.size();
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
    if (const auto* refused = dynamic_cast<const UnstorableCharacter*>(&error)) {
        ShowError(prompts, refused->Text());
        return;
    }
    ShowError(prompts, ErrorText(error));
}

} // namespace impmap::gui
