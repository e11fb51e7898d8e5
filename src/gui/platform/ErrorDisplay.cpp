#include "platform/ErrorDisplay.h"

#include "convert/Text.h"
#include "platform/AppInfo.h"
#include "platform/Bytes.h"

namespace impmap::gui {

void ShowError(Prompts& prompts, const QString& message)
{
    // The core decides on the byte text; the message itself is kept as it is, so characters that
    // have no byte of their own survive.
    const std::string bytes = ToBytes(message);
    const bool gainsFullStop = WithFinalFullStop(bytes).size() > bytes.size();
    prompts.Error(ApplicationTitle(), gainsFullStop ? message + u'.' : message);
}

void ShowError(Prompts& prompts, const std::exception& error)
{
    ShowError(prompts, FromBytes(error.what()));
}

} // namespace impmap::gui
