#include "window/ExecuteController.h"

#include "window/MainWindowContext.h"

namespace impmap::gui {

ExecuteController::ExecuteController(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
}

} // namespace impmap::gui
