#pragma once

#include "source/SourceSettings.h"

#include <QObject>
#include <QString>

namespace impmap::gui {

struct MainWindowContext;

// The caption and availability of the Tools menu's header entry for a form and a delimiter
// (the form's index as the workspace holds it, -1 for none).
struct HeaderEntry
{
    QString caption;
    bool enabled = false;
};
HeaderEntry CreateHeaderEntry(int formIndex, Delimiter delimiter);

// The Tools menu of the Mapping tab (the "&Tools" button opens it): Map by Name, Reset This
// Mapping and Create Header, their captions and availability set each time the menu opens.
class MappingToolsMenu : public QObject
{
    Q_OBJECT

public:
    explicit MappingToolsMenu(MainWindowContext& context, QObject* parent = nullptr);

    void popupToolsPopup();
    void popupMapByNameClick();
    void popupResetMappingClick();
    void popupCreateHeaderClick();

private:
    void CreateHeader();

    MainWindowContext& context_;
};

} // namespace impmap::gui
