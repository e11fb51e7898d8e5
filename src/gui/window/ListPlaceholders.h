#pragma once

#include <QObject>

class QLabel;
class QTreeView;

namespace impmap::gui {

struct MainWindowContext;

// What the two lists of the Mapping tab say while they are empty for want of a choice: the
// destination list "Choose a tax form above" until a form is chosen, the source list how to open
// the source file until one is open. The text is drawn over the list's empty area and lets every
// click and drop through.
class ListPlaceholders : public QObject
{
    Q_OBJECT

public:
    explicit ListPlaceholders(MainWindowContext& context, QObject* parent = nullptr);

    QLabel* SourcePlaceholder() const { return source_; }
    QLabel* DestinationPlaceholder() const { return destination_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Make(QTreeView* list, const QString& text, const char* name);
    void Refresh(unsigned changes);
    static void Fit(QLabel* label);

    MainWindowContext& context_;
    QLabel* source_;
    QLabel* destination_;
};

} // namespace impmap::gui
