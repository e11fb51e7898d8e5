#pragma once

#include <QObject>

namespace impmap::gui {

struct MainWindowContext;

// The user's edits of the mapping in the two lists of the Mapping tab: drag and drop (assign,
// unassign, merge), double-clicks, right-clicks (fixed values, source value changes), the field
// guide and source value hints, and the Tools menu (Map by Name, Reset, Create Header).
class MappingController : public QObject
{
    Q_OBJECT

public:
    explicit MappingController(MainWindowContext& context, QObject* parent = nullptr);

private:
    MainWindowContext& context_;
};

} // namespace impmap::gui
