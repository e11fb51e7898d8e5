#pragma once

class QAction;
class QButtonGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QTreeView;
class QWidget;

namespace impmap::gui {

class TotalsView;

// Every control of the main window, by the name its role gives it. MainWindowLayout builds them
// (each with its objectName set to the member name, so tests can find them); the controllers
// connect to them. The window owns them through Qt's parent chain.
struct MainWindowUi
{
    QTabWidget* tabs = nullptr;
    QWidget* tabMapping = nullptr;
    QWidget* tabSource = nullptr;
    QWidget* tabOutput = nullptr;
    QWidget* tabTotals = nullptr;

    // Mapping tab, top strip.
    QGroupBox* gbTaxForm = nullptr;
    QComboBox* coForm = nullptr;
    QGroupBox* gbMapping = nullptr;
    QToolButton* sbOpenMap = nullptr;
    QToolButton* sbSaveMap = nullptr;
    QGroupBox* gbSource = nullptr;
    QLineEdit* edSourceFile = nullptr;
    QAction* edSourceFileLocate = nullptr; // the inner locate button
    QAction* edSourceFileSave = nullptr;   // the inner save button, visible while source edits
    QToolButton* sbOpenSource = nullptr;
    QLabel* lbSourceEncoding = nullptr; // the loaded file's text encoding
    QGroupBox* rgTrace = nullptr;
    QButtonGroup* rgTraceButtons = nullptr; // ids 0 On, 1 Off
    QGroupBox* rgDecimal = nullptr;
    QButtonGroup* rgDecimalButtons = nullptr; // ids 0 Normal, 1 Implied
    QGroupBox* gbDelimiter = nullptr;
    QComboBox* cbDelimiter = nullptr; // items Tab, Comma, Pipe; -1 none
    QGroupBox* rgHeader = nullptr;
    QButtonGroup* rgHeaderButtons = nullptr; // ids 0 Read, 1 Skip

    // Mapping tab, middle.
    QFrame* pnSource = nullptr;
    QTreeView* lvSource = nullptr;
    QFrame* pnDestination = nullptr;
    QTreeView* lvDestination = nullptr;

    // Mapping tab, bottom strip.
    QLabel* lbRecord = nullptr; // "Record"
    QLabel* pnRecord = nullptr;
    QLabel* lbOf = nullptr;
    QLabel* pnRecords = nullptr;
    QToolButton* sbFirst = nullptr;
    QToolButton* sbPrevious = nullptr;
    QToolButton* sbNext = nullptr;
    QToolButton* sbLast = nullptr;
    QToolButton* sbWhatsThis = nullptr;
    QPushButton* btUserManualOnline = nullptr; // "Manual"
    QPushButton* bTools = nullptr;
    QMenu* popupTools = nullptr;
    QAction* popupMapByName = nullptr;
    QAction* popupResetMapping = nullptr;
    QAction* popupCreateHeader = nullptr;
    QAction* popupJoinLines = nullptr;
    QAction* popupCheckAll = nullptr;
    QPushButton* bExecute = nullptr;
    QPushButton* bSaveOutput = nullptr;
    QPushButton* bHelp = nullptr;
    QPushButton* bClose = nullptr;

    // Source tab.
    QToolButton* sbDeleteSourceLine = nullptr;
    QLabel* lbRec = nullptr;
    QToolButton* sbSourceFirst = nullptr;
    QToolButton* sbSourcePrevious = nullptr;
    QToolButton* sbSourceNext = nullptr;
    QToolButton* sbSourceLast = nullptr;
    QLineEdit* edSourceRecord = nullptr;
    QListView* reSource = nullptr;

    // Output tab.
    QListView* reOutput = nullptr;

    // Totals tab: the control totals of the last completed run or check.
    TotalsView* lvTotals = nullptr;
};

} // namespace impmap::gui
