#pragma once

#include <QObject>

class QAction;

namespace impmap::gui {

class ExecuteController;
struct MainWindowContext;

// Tools > "Export for TIN Matching...": asks where to write the request file of the IRS's bulk
// TIN Matching, makes it from the mapping with the progress dialog and its Cancel, and shows how
// many lines went into which file and which records were left out.
class TinMatchExportController : public QObject
{
    Q_OBJECT

public:
    // Left out records listed in the summary box; the rest are counted.
    static constexpr int kLeftOutListed = 20;

    TinMatchExportController(MainWindowContext& context, ExecuteController& execute,
                             QObject* parent = nullptr);

    QAction* ExportAction() const { return popupTinMatch_; }
    void popupTinMatchClick();

private:
    void Export();

    MainWindowContext& context_;
    ExecuteController& execute_;
    QAction* popupTinMatch_ = nullptr;
};

} // namespace impmap::gui
