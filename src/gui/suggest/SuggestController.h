#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QPushButton;

namespace impmap::gui {

class MapFileController;
class Settings;
class SuggestDialog;
struct MainWindowContext;

// Suggest Mapping in the window: Tools > "Suggest Mapping..." and its button open the dialog of
// proposals and apply the ticked ones; every saved map teaches the file of learned choices; a map
// opened on a file whose header line changed says which columns moved and offers to follow them.
class SuggestController : public QObject
{
    Q_OBJECT

public:
    SuggestController(MainWindowContext& context, MapFileController& mapFiles,
                      QObject* parent = nullptr);
    ~SuggestController() override;

    // The file of learned choices beside the window's settings (the settings folder, which the
    // batch command reads as well).
    static QString LearnedChoicesFile(const Settings& settings);

    QAction* SuggestAction() const { return popupSuggestMapping_; }
    QPushButton* SuggestButton() const { return bSuggest_; }
    // The dialog while it is open.
    SuggestDialog* Dialog() const;

    void popupSuggestMappingClick();
    // Opens the dialog; rematch follows the map's columns from its saved header line.
    void OpenDialog(bool rematch);
    // After Open Map: the notice when the file's header line is not the one saved with the map.
    void CheckSavedHeader();
    // After Save Map: the map's choices go into the file of learned choices.
    void RememberSavedMap();

private:
    void Refresh();
    void Apply();

    MainWindowContext& context_;
    QAction* popupSuggestMapping_ = nullptr;
    QPushButton* bSuggest_ = nullptr;
    QPointer<SuggestDialog> dialog_;
};

} // namespace impmap::gui
