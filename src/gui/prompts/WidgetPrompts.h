#pragma once

#include "prompts/Prompts.h"

#include <QPointer>
#include <QWidget>

// Prompts shown with Qt's own dialogs: QMessageBox, QInputDialog and QFileDialog.
namespace impmap::gui {

class WidgetPrompts : public Prompts
{
public:
    // parent owns the dialogs; without one they belong to the active window.
    explicit WidgetPrompts(QWidget* parent = nullptr);

    void SetParent(QWidget* parent) { parent_ = parent; }

    Button Message(const MessageRequest& request) override;
    std::optional<QString> InputText(const QString& title, const QString& prompt,
                                     const QString& initial) override;
    std::optional<QString> OpenFileName(const QString& title, const QString& folder,
                                        const QString& filter,
                                        const QString& proposedName) override;
    std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                        const QString& filter, const QString& defaultSuffix,
                                        const QString& proposedName,
                                        int selectedFilterIndex = 0) override;
    void Beep() override;
    std::optional<int> ChooseSheet(const QString& workbookName,
                                   const std::vector<SheetChoice>& sheets,
                                   int preselected) override;

private:
    QWidget* Owner() const;

    QPointer<QWidget> parent_;
};

} // namespace impmap::gui
