#include "window/MainWindowAccessibility.h"

#include "report/TotalsView.h"
#include "window/MainWindowUi.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace impmap::gui {

namespace {

struct Described
{
    QWidget* widget;
    const char* name;
    const char* description;
};

void Describe(QWidget* widget, const char* name, const char* description)
{
    widget->setAccessibleName(QString::fromUtf8(name));
    widget->setAccessibleDescription(QString::fromUtf8(description));
}

// The radio buttons of a group are named by their captions; the description names the group.
void DescribeChoices(QButtonGroup* group, const char* description)
{
    for (QAbstractButton* button : group->buttons())
        Describe(button, QString(button->text()).remove(u'&').toUtf8().constData(), description);
}

// The tool buttons a line edit makes for its actions carry the actions' names.
void DescribeActionButtons(QAction* action, const char* name, const char* description)
{
    for (QObject* object : action->associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(object))
            Describe(button, name, description);
    }
}

// Every control's accessible name and description.
void DescribeControls(MainWindowUi& ui)
{
    const Described controls[] = {
        {ui.tabs, "Pages", "Mapping, Source and Output pages"},
        {ui.tabMapping, "Mapping", "The form, the settings and the two field lists"},
        {ui.tabSource, "Source", "The whole source file, one record a line"},
        {ui.tabOutput, "Output", "The import lines of the last run"},
        {ui.gbTaxForm, "Tax Form", "The form the import file is made for"},
        {ui.coForm, "Tax form", "The form or record layout of the import file"},
        {ui.gbMapping, "Mapping", "Open or save a map file"},
        {ui.sbOpenMap, "Open mapping", "Opens a saved map file"},
        {ui.sbSaveMap, "Save mapping", "Saves the mapping to a map file"},
        {ui.gbSource, "Source File", "The delimited text file the values come from"},
        {ui.edSourceFile, "Source file name", "Type the file name, or use the locate button"},
        {ui.sbOpenSource, "Load source file", "Loads or reloads the named source file"},
        {ui.rgTrace, "Trace", "Whether a drag shows the field under the mouse"},
        {ui.rgDecimal, "Decimal", "Whether currency values have an implied decimal point"},
        {ui.gbDelimiter, "Delimiter", "The character between the fields of the source file"},
        {ui.cbDelimiter, "Delimiter", "Tab, Comma or Pipe"},
        {ui.rgHeader, "Header", "Whether the first record of the source file is read"},
        {ui.pnSource, "Source fields pane", "Holds the source field list"},
        {ui.lvSource, "Source fields",
         "The fields of the record on display. Ctrl+M maps the selected field onto the selected "
         "destination field; Shift+F10 opens its menu: Change Source Value, Merge Into"},
        {ui.pnDestination, "Destination fields pane", "Holds the destination field list"},
        {ui.lvDestination, "Destination fields",
         "The fields of the form and their values. Enter assigns or unassigns, Delete "
         "unassigns, Shift+F10 sets a fixed value"},
        {ui.lbRecord, "Record", "The record on display"},
        {ui.pnRecord, "Record number", "The number of the record on display"},
        {ui.lbOf, "of", "The number of records follows"},
        {ui.pnRecords, "Record count", "The number of records in the source file"},
        {ui.sbFirst, "First record", "Shows the first record (Home)"},
        {ui.sbPrevious, "Previous record", "Shows the previous record (Page Up)"},
        {ui.sbNext, "Next record", "Shows the next record (Page Down)"},
        {ui.sbLast, "Last record", "Shows the last record (End)"},
        {ui.sbWhatsThis, "What's this", "Click it, then a control, for help on that control"},
        {ui.btUserManualOnline, "Manual",
         "Opens the user manual, every help topic on one page, in the help window"},
        {ui.bTools, "Tools", "Mapping tools and the keys of the field lists"},
        {ui.bExecute, "Execute", "Runs the mapping over every source record"},
        {ui.bSaveOutput, "Save Output", "Saves the import lines of the last run"},
        {ui.bHelp, "Help", "Opens the help topics"},
        {ui.bClose, "Close", "Ends the program"},
        {ui.sbDeleteSourceLine, "Delete source record", "Deletes the record on display"},
        {ui.lbRec, "Source record number", "The number of the source record on display"},
        {ui.sbSourceFirst, "First source record", "Shows the first source record"},
        {ui.sbSourcePrevious, "Previous source record", "Shows the previous source record"},
        {ui.sbSourceNext, "Next source record", "Shows the next source record"},
        {ui.sbSourceLast, "Last source record", "Shows the last source record"},
        {ui.edSourceRecord, "Source record", "The text of the source record on display"},
        {ui.reSource, "Source lines", "Every line of the source file"},
        {ui.reOutput, "Output lines", "The import lines of the last run"},
        {ui.lvTotals, "Control totals",
         "For every amount field: the records with a non-zero amount and the sum written"},
    };
    for (const Described& control : controls)
        Describe(control.widget, control.name, control.description);
}

// The parts of controls that are widgets of their own: the dropped-down lists, the radio
// buttons and the buttons inside the source box.
void DescribeControlParts(MainWindowUi& ui)
{
    // The lists the two boxes drop down.
    Describe(ui.coForm->view(), "Tax forms", "The forms and record layouts to choose from");
    Describe(ui.cbDelimiter->view(), "Delimiters", "Tab, Comma or Pipe");
    DescribeChoices(ui.rgTraceButtons, "Trace");
    DescribeChoices(ui.rgDecimalButtons, "Decimal");
    DescribeChoices(ui.rgHeaderButtons, "Header");
    DescribeActionButtons(ui.edSourceFileLocate, "Locate source file",
                          "Browse for the source file");
    DescribeActionButtons(ui.edSourceFileSave, "Save source file", "Saves the changed source file");
}

// The Tab order follows the reading order: the settings from left to right, the two lists, then
// the bottom strip.
void SetReadingOrder(MainWindowUi& ui)
{
    QList<QWidget*> order{ui.coForm, ui.sbOpenMap, ui.sbSaveMap, ui.edSourceFile};
    // The buttons inside the source box, as they stand from left to right.
    for (QAction* action : {ui.edSourceFileSave, ui.edSourceFileLocate}) {
        for (QObject* object : action->associatedObjects()) {
            if (auto* button = qobject_cast<QToolButton*>(object))
                order.append(button);
        }
    }
    order.append(ui.sbOpenSource);
    for (QButtonGroup* group : {ui.rgTraceButtons, ui.rgDecimalButtons}) {
        for (QAbstractButton* button : group->buttons())
            order.append(button);
    }
    order.append(ui.cbDelimiter);
    for (QAbstractButton* button : ui.rgHeaderButtons->buttons())
        order.append(button);
    order.append({ui.lvSource, ui.lvDestination, ui.sbFirst, ui.sbPrevious, ui.sbNext, ui.sbLast,
                  ui.sbWhatsThis, ui.btUserManualOnline, ui.bTools, ui.bExecute, ui.bSaveOutput,
                  ui.bHelp, ui.bClose});
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

void ApplyAccessibility(MainWindowUi& ui)
{
    DescribeControls(ui);
    DescribeControlParts(ui);
    SetReadingOrder(ui);
}

} // namespace impmap::gui
