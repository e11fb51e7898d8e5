#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMenu;

namespace impmap::gui {

struct MainWindowContext;

// The map files last opened or saved, the latest first, ten at most, kept in the settings. The
// open-map button's drop-down lists them, greys the ones no longer there, opens the one chosen
// and clears the list on request.
class RecentMaps : public QObject
{
    Q_OBJECT

public:
    static constexpr int kLimit = 10;

    // open opens a map file as Open Map does once its dialog has named one.
    RecentMaps(MainWindowContext& context, std::function<void(const QString&)> open,
               QObject* parent = nullptr);

    QStringList Paths() const;
    // Puts path first (once) and stores the list.
    void Add(const QString& path);
    void Clear();
    // The drop-down, filled afresh each time it opens.
    QMenu* Menu() const { return menu_; }

private:
    void Refresh(unsigned changes);
    void FillMenu();

    MainWindowContext& context_;
    std::function<void(const QString&)> open_;
    QMenu* menu_;
};

} // namespace impmap::gui
