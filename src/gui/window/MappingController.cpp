#include "window/MappingController.h"

#include "window/MainWindowContext.h"

namespace impmap::gui {

MappingController::MappingController(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
}

} // namespace impmap::gui
