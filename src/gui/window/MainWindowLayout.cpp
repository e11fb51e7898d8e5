#include "window/MainWindowLayout.h"

#include "help/Help.h"
#include "report/TotalsView.h"
#include "schema/FormCatalogue.h"
#include "window/FocusRing.h"
#include "window/LineListView.h"
#include "window/MainWindowAccessibility.h"
#include "window/MainWindowUi.h"
#include "window/ToolIcons.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace impmap::gui {

namespace {

// Rows as wide as the longest line of the view (see SetLongestLineSource).
class LineDelegate : public QStyledItemDelegate
{
public:
    LineDelegate(std::function<std::size_t()> longestLine, QObject* parent)
        : QStyledItemDelegate(parent), longestLine_(std::move(longestLine))
    {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const qint64 characters =
            static_cast<qint64>(std::min<std::size_t>(longestLine_(), 1u << 20));
        const qint64 width =
            characters * option.fontMetrics.horizontalAdvance(QLatin1Char('M')) + 16;
        size.setWidth(
            static_cast<int>(std::max<qint64>(size.width(), std::min<qint64>(width, 1 << 24))));
        return size;
    }

private:
    std::function<std::size_t()> longestLine_;
};

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QHBoxLayout* Row(QWidget* parent, int left, int top, int right, int bottom, int spacing = 4)
{
    auto* layout = new QHBoxLayout(parent);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(spacing);
    return layout;
}

QGroupBox* Group(const char* title, const char* name, int helpContext)
{
    auto* group = Named(new QGroupBox(QString::fromLatin1(title)), name);
    if (helpContext != 0)
        SetHelpContext(group, helpContext);
    return group;
}

QToolButton* ToolButton(const char* name, QStyle::StandardPixmap icon, int helpContext)
{
    auto* button = Named(new QToolButton, name);
    button->setIcon(button->style()->standardIcon(icon));
    button->setAutoRaise(false);
    SetHelpContext(button, helpContext);
    return button;
}

// A two-choice radio group with ids 0 and 1, one choice above the other.
QButtonGroup* RadioGroup(QGroupBox* group, const char* first, const char* second, int checked)
{
    auto* buttons = new QButtonGroup(group);
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 0, 6, 1);
    layout->setSpacing(0);
    int id = 0;
    for (const char* caption : {first, second}) {
        auto* radio = new QRadioButton(QString::fromLatin1(caption));
        radio->setObjectName(group->objectName() + QString::fromLatin1(caption));
        buttons->addButton(radio, id++);
        layout->addWidget(radio);
    }
    buttons->button(checked)->setChecked(true);
    return buttons;
}

// A sunken pane that shows a record number: wide enough for seven digits, with room between
// the digits and the frame.
QLabel* Pane(const char* name, int helpContext)
{
    auto* pane = Named(new QLabel, name);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setAlignment(Qt::AlignCenter);
    pane->setMargin(3);
    pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) +
                          2 * (pane->frameWidth() + pane->margin()));
    SetHelpContext(pane, helpContext);
    return pane;
}

QPushButton* PushButton(const char* caption, const char* name, int helpContext)
{
    auto* button = Named(new QPushButton(QString::fromLatin1(caption)), name);
    if (helpContext != 0)
        SetHelpContext(button, helpContext);
    return button;
}

// The four navigation buttons of a tab, First to Last.
void NavigationButtons(QHBoxLayout* layout, QToolButton*& first, QToolButton*& previous,
                       QToolButton*& next, QToolButton*& last, const char* prefix)
{
    const QString p = QString::fromLatin1(prefix);
    first = ToolButton("", QStyle::SP_MediaSkipBackward, 270);
    previous = ToolButton("", QStyle::SP_MediaSeekBackward, 280);
    next = ToolButton("", QStyle::SP_MediaSeekForward, 290);
    last = ToolButton("", QStyle::SP_MediaSkipForward, 300);
    first->setObjectName(p + QStringLiteral("First"));
    previous->setObjectName(p + QStringLiteral("Previous"));
    next->setObjectName(p + QStringLiteral("Next"));
    last->setObjectName(p + QStringLiteral("Last"));
    for (QToolButton* button : {first, previous, next, last}) {
        button->setEnabled(false);
        layout->addWidget(button);
    }
}

// The Tax Form box: the list of forms, red and fixed-pitch.
void BuildTaxFormGroup(MainWindowUi& ui)
{
    ui.gbTaxForm = Group(" Tax Form ", "gbTaxForm", 160);
    ui.coForm = Named(new QComboBox, "coForm");
    QFont red = FixedPitchFont();
    ui.coForm->setFont(red);
    QPalette palette = ui.coForm->palette();
    palette.setColor(QPalette::Text, Qt::red);
    palette.setColor(QPalette::ButtonText, Qt::red);
    ui.coForm->setPalette(palette);
    // The drop-down list shows every form at once, red and fixed-pitch like the box: plain item
    // rows (not menu entries, which are taller) and the colour on each item.
    ui.coForm->setItemDelegate(new QStyledItemDelegate(ui.coForm));
    ui.coForm->view()->setFont(red);
    ui.coForm->setMaxVisibleItems(kFormCount);
    // The list drops below the box, shortened to the screen, rather than rising over the title
    // bar to put the chosen form over the box.
    ui.coForm->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    for (const std::string_view name : FormNames) {
        ui.coForm->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        ui.coForm->setItemData(ui.coForm->count() - 1, QColor(Qt::red), Qt::ForegroundRole);
    }
    ui.coForm->setCurrentIndex(-1);
    ui.coForm->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ui.coForm->setToolTip(
        QStringLiteral("Drop down list of supported tax forms and client (filer) schema"));
    Row(ui.gbTaxForm, 4, 0, 4, 2)->addWidget(ui.coForm);
}

// The Mapping box: Open Map and Save Map.
void BuildMappingGroup(MainWindowUi& ui)
{
    ui.gbMapping = Group(" Mapping ", "gbMapping", 140);
    ui.sbOpenMap = ToolButton("sbOpenMap", QStyle::SP_DialogOpenButton, 141);
    ui.sbOpenMap->setToolTip(QStringLiteral("Open a previously saved mapping (Ctrl+O)"));
    ui.sbSaveMap = ToolButton("sbSaveMap", QStyle::SP_DialogSaveButton, 142);
    ui.sbSaveMap->setEnabled(false);
    auto* mapping = Row(ui.gbMapping, 4, 0, 4, 2, 2);
    mapping->addWidget(ui.sbOpenMap);
    mapping->addWidget(ui.sbSaveMap);
}

// The Source File box: the path with its Locate and Save buttons, the encoding and the open button.
void BuildSourceGroup(MainWindowUi& ui)
{
    ui.gbSource = Group(" Source File ", "gbSource", 510);
    ui.edSourceFile = Named(new QLineEdit, "edSourceFile");
    SetHelpContext(ui.edSourceFile, 180);
    ui.edSourceFile->setMinimumWidth(90);
    ui.edSourceFileSave = ui.edSourceFile->addAction(RedDiskIcon(), QLineEdit::TrailingPosition);
    ui.edSourceFileSave->setObjectName(QStringLiteral("edSourceFileSave"));
    ui.edSourceFileSave->setToolTip(QStringLiteral("Save the source file (Ctrl+Shift+S)"));
    ui.edSourceFileSave->setVisible(false);
    ui.edSourceFileLocate =
        ui.edSourceFile->addAction(FlashlightIcon(), QLineEdit::TrailingPosition);
    ui.edSourceFileLocate->setObjectName(QStringLiteral("edSourceFileLocate"));
    ui.edSourceFileLocate->setToolTip(
        QStringLiteral("Locate the source file to be used... (Ctrl+L)"));
    // The inner buttons are tool buttons made for the actions; they carry their own topics and,
    // unlike the toolkit's default, take the focus with Tab (Space presses them) and show it.
    for (const auto& [action, context] :
         {std::pair{ui.edSourceFileLocate, 520}, std::pair{ui.edSourceFileSave, 530}}) {
        for (QObject* object : action->associatedObjects()) {
            if (auto* button = qobject_cast<QToolButton*>(object)) {
                SetHelpContext(button, context);
                button->setObjectName(action->objectName() + QStringLiteral("Button"));
                button->setFocusPolicy(Qt::TabFocus);
                FocusRing::Add(button);
            }
        }
    }
    ui.sbOpenSource = ToolButton("sbOpenSource", QStyle::SP_BrowserReload, 170);
    ui.sbOpenSource->setEnabled(false);
    auto* source = Row(ui.gbSource, 4, 0, 4, 2, 2);
    ui.lbSourceEncoding = Named(new QLabel, "lbSourceEncoding");
    source->addWidget(ui.edSourceFile, 1);
    source->addWidget(ui.lbSourceEncoding);
    source->addWidget(ui.sbOpenSource);
}

// The Trace radio group.
void BuildTraceGroup(MainWindowUi& ui)
{
    ui.rgTrace = Group(" Trace ", "rgTrace", 0);
    ui.rgTrace->setToolTip(QStringLiteral("Indicates whether or not to trace a drag-drop"));
    ui.rgTraceButtons = RadioGroup(ui.rgTrace, "On", "Off", 0);
}

// The Decimal radio group.
void BuildDecimalGroup(MainWindowUi& ui)
{
    ui.rgDecimal = Group(" Decimal ", "rgDecimal", 600);
    ui.rgDecimal->setToolTip(QStringLiteral(
        "Indicates whether or not the decimal point is implied in all currency fields"));
    ui.rgDecimalButtons = RadioGroup(ui.rgDecimal, "Normal", "Implied", 0);
}

// The Delimiter box and its list.
void BuildDelimiterGroup(MainWindowUi& ui)
{
    ui.gbDelimiter = Group(" Delimiter ", "gbDelimiter", 190);
    ui.gbDelimiter->setToolTip(QStringLiteral("Indicates the delimiter character to be used"));
    ui.cbDelimiter = Named(new QComboBox, "cbDelimiter");
    ui.cbDelimiter->addItems(
        {QStringLiteral("Tab"), QStringLiteral("Comma"), QStringLiteral("Pipe")});
    ui.cbDelimiter->setCurrentIndex(-1);
    ui.cbDelimiter->setMinimumWidth(76);
    Row(ui.gbDelimiter, 4, 0, 4, 2)->addWidget(ui.cbDelimiter);
}

// The Header radio group.
void BuildHeaderGroup(MainWindowUi& ui)
{
    ui.rgHeader = Group(" Header ", "rgHeader", 610);
    ui.rgHeader->setToolTip(QStringLiteral(
        "Indicates whether or not to include the header (first) record of your source file"));
    ui.rgHeaderButtons = RadioGroup(ui.rgHeader, "Read", "Skip", 0);
}

QWidget* BuildTopStrip(MainWindowUi& ui)
{
    auto* strip = Named(new QFrame, "pnTop");
    strip->setFrameStyle(QFrame::Box | QFrame::Sunken); // a groove
    SetHelpContext(strip, 200);
    auto* layout = Row(strip, 3, 0, 3, 3, 3);

    BuildTaxFormGroup(ui);
    BuildMappingGroup(ui);
    BuildSourceGroup(ui);
    BuildTraceGroup(ui);
    BuildDecimalGroup(ui);
    BuildDelimiterGroup(ui);
    BuildHeaderGroup(ui);

    layout->addWidget(ui.gbTaxForm);
    layout->addWidget(ui.gbMapping);
    layout->addWidget(ui.gbSource, 1);
    for (QWidget* group :
         {static_cast<QWidget*>(ui.rgTrace), static_cast<QWidget*>(ui.rgDecimal),
          static_cast<QWidget*>(ui.gbDelimiter), static_cast<QWidget*>(ui.rgHeader)})
        layout->addWidget(group);
    strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return strip;
}

QTreeView* ReportList(const char* name, int helpContext)
{
    auto* list = Named(new QTreeView, name);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSortingEnabled(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setSectionsClickable(false);
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    list->header()->setMinimumSectionSize(kDestinationTypeWidth);
    SetHelpContext(list, helpContext);
    return list;
}

// A panel whose border shows whether its list has the focus.
QFrame* ListPanel(const char* name, QWidget* list, int helpContext)
{
    auto* panel = Named(new QFrame, name);
    SetHelpContext(panel, helpContext);
    panel->setFrameStyle(QFrame::Box | QFrame::Plain);
    panel->setLineWidth(2);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    ShowListFocus(panel, false);
    return panel;
}

QWidget* BuildMiddle(MainWindowUi& ui)
{
    auto* middle = new QWidget;
    auto* layout = Row(middle, 0, 0, 0, 0, 2);
    ui.lvSource = ReportList("lvSource", 8);
    ui.pnSource = ListPanel("pnSource", ui.lvSource, 210);
    ui.pnSource->setFixedWidth(254);
    ui.lvDestination = ReportList("lvDestination", 10);
    ui.pnDestination = ListPanel("pnDestination", ui.lvDestination, 10);
    auto* right = Named(new QWidget, "pnRight");
    SetHelpContext(right, 220);
    Row(right, 0, 0, 0, 0)->addWidget(ui.pnDestination);
    layout->addWidget(ui.pnSource);
    layout->addWidget(right, 1);
    return middle;
}

QWidget* BuildBottomStrip(MainWindowUi& ui)
{
    auto* strip = Named(new QFrame, "pnBottom");
    SetHelpContext(strip, 230);
    auto* layout = Row(strip, 2, 3, 2, 3, 3);

    ui.lbRecord = Named(new QLabel(QStringLiteral("Record")), "lbRecord");
    SetHelpContext(ui.lbRecord, 240);
    ui.pnRecord = Pane("pnRecord", 240);
    ui.lbOf = Named(new QLabel(QStringLiteral("of")), "lbOf");
    SetHelpContext(ui.lbOf, 260);
    ui.pnRecords = Pane("pnRecords", 260);
    for (QWidget* widget : {static_cast<QWidget*>(ui.lbRecord), static_cast<QWidget*>(ui.pnRecord),
                            static_cast<QWidget*>(ui.lbOf), static_cast<QWidget*>(ui.pnRecords)})
        layout->addWidget(widget);
    layout->addSpacing(2);
    NavigationButtons(layout, ui.sbFirst, ui.sbPrevious, ui.sbNext, ui.sbLast, "sb");
    auto* separator = new QFrame;
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    layout->addWidget(separator);
    ui.sbWhatsThis = ToolButton("sbWhatsThis", QStyle::SP_TitleBarContextHelpButton, 320);
    ui.sbWhatsThis->setToolTip(QStringLiteral("Context-sensitive help"));
    layout->addWidget(ui.sbWhatsThis);
    layout->addStretch(1);

    ui.btUserManualOnline = PushButton("Manual", "btUserManualOnline", 0);
    ui.btUserManualOnline->setIcon(
        ui.btUserManualOnline->style()->standardIcon(QStyle::SP_FileDialogInfoView));
    ui.btUserManualOnline->setToolTip(
        QStringLiteral("Show the user manual: every help topic on one page"));
    ui.bTools = PushButton("&Tools", "bTools", 360);
    ui.popupTools = Named(new QMenu(ui.bTools), "popupTools");
    ui.popupMapByName = ui.popupTools->addAction(QStringLiteral("Map by &Name"));
    ui.popupMapByName->setObjectName(QStringLiteral("popupMapByName"));
    ui.popupResetMapping = ui.popupTools->addAction(QStringLiteral("&Reset This Mapping"));
    ui.popupResetMapping->setObjectName(QStringLiteral("popupResetMapping"));
    ui.popupCreateHeader = ui.popupTools->addAction(QStringLiteral("Create Header"));
    ui.popupCreateHeader->setObjectName(QStringLiteral("popupCreateHeader"));
    ui.popupTools->addSeparator();
    ui.popupCheckAll = ui.popupTools->addAction(QStringLiteral("Chec&k All Records"));
    ui.popupCheckAll->setObjectName(QStringLiteral("popupCheckAll"));
    ui.popupTools->addSeparator();
    ui.popupJoinLines =
        ui.popupTools->addAction(QStringLiteral("&Join Lines Broken Inside Quotes"));
    ui.popupJoinLines->setObjectName(QStringLiteral("popupJoinLines"));
    ui.bTools->setMenu(ui.popupTools);
    ui.bExecute = PushButton("&Execute", "bExecute", 330);
    ui.bExecute->setEnabled(false);
    ui.bSaveOutput = PushButton("&Save Output", "bSaveOutput", 340);
    ui.bSaveOutput->setEnabled(false);
    ui.bHelp = PushButton("&Help", "bHelp", 350);
    ui.bHelp->setIcon(HelpIcon());
    ui.bClose = PushButton("&Close", "bClose", 370);
    for (QPushButton* button :
         {ui.btUserManualOnline, ui.bTools, ui.bExecute, ui.bSaveOutput, ui.bHelp, ui.bClose}) {
        button->setAutoDefault(false);
        // At the designed width the buttons may shrink to their captions.
        const QString caption = QString(button->text()).remove(u'&');
        int least = button->fontMetrics().horizontalAdvance(caption) + 14;
        if (!button->icon().isNull())
            least += button->iconSize().width() + 4;
        if (button->menu() != nullptr)
            least += 14;
        button->setMinimumWidth(least);
        layout->addWidget(button);
    }
    strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return strip;
}

QListView* LineView(const char* name, int helpContext)
{
    auto* view = Named(new LineListView, name);
    view->setFont(FixedPitchFont());
    view->setWordWrap(false);
    view->setTextElideMode(Qt::ElideNone);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setFocusPolicy(Qt::ClickFocus); // skipped by the Tab key
    SetHelpContext(view, helpContext);
    return view;
}

QWidget* BuildSourceTab(MainWindowUi& ui)
{
    auto* page = Named(new QWidget, "tabSource");
    SetHelpContext(page, 120);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* strip = Named(new QFrame, "pnSourceTop");
    SetHelpContext(strip, 230);
    auto* top = Row(strip, 0, 0, 0, 0);
    ui.sbDeleteSourceLine = ToolButton("sbDeleteSourceLine", QStyle::SP_TrashIcon, 420);
    ui.sbDeleteSourceLine->setToolTip(QStringLiteral("Delete specified source record"));
    ui.sbDeleteSourceLine->setEnabled(false);
    auto* caption = Named(new QLabel(QStringLiteral("Source record :")), "lbSourceRecord");
    SetHelpContext(caption, 240);
    ui.lbRec = Named(new QLabel(QStringLiteral("0")), "lbRec");
    SetHelpContext(ui.lbRec, 240);
    top->addWidget(ui.sbDeleteSourceLine);
    top->addSpacing(8);
    top->addWidget(caption);
    top->addWidget(ui.lbRec);
    top->addStretch(1);
    NavigationButtons(top, ui.sbSourceFirst, ui.sbSourcePrevious, ui.sbSourceNext, ui.sbSourceLast,
                      "sbSource");

    ui.edSourceRecord = Named(new QLineEdit, "edSourceRecord");
    ui.edSourceRecord->setReadOnly(true);
    ui.edSourceRecord->setFont(FixedPitchFont());
    QPalette palette = ui.edSourceRecord->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    ui.edSourceRecord->setPalette(palette);
    SetHelpContext(ui.edSourceRecord, 470);

    ui.reSource = LineView("reSource", 480);
    layout->addWidget(strip);
    layout->addWidget(ui.edSourceRecord);
    layout->addWidget(ui.reSource, 1);
    return page;
}

QWidget* BuildOutputTab(MainWindowUi& ui)
{
    auto* page = Named(new QWidget, "tabOutput");
    SetHelpContext(page, 120);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 4);
    ui.reOutput = LineView("reOutput", 500);
    ui.reOutput->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui.reOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(ui.reOutput);
    return page;
}

} // namespace

QFont FixedPitchFont()
{
    // Where Courier New is missing, the system's own fixed-pitch font stands in.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), font.family()});
    font.setPointSize(10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

void BuildMainWindowLayout(QMainWindow& window, MainWindowUi& ui)
{
    window.resize(kDesignedWidth, kDesignedHeight);
    SetHelpContext(&window, kWindowHelpContext);

    ui.tabs = Named(new QTabWidget, "tabs");
    SetHelpContext(ui.tabs, 120);
    ui.tabMapping = Named(new QWidget, "tabMapping");
    SetHelpContext(ui.tabMapping, 120);
    auto* mapping = new QVBoxLayout(ui.tabMapping);
    mapping->setContentsMargins(4, 4, 4, 2);
    mapping->setSpacing(4);
    mapping->addWidget(BuildTopStrip(ui));
    mapping->addWidget(BuildMiddle(ui), 1);
    mapping->addWidget(BuildBottomStrip(ui));
    ui.tabSource = BuildSourceTab(ui);
    ui.tabOutput = BuildOutputTab(ui);
    ui.tabTotals = Named(new QWidget, "tabTotals");
    SetHelpContext(ui.tabTotals, 710);
    auto* totals = new QVBoxLayout(ui.tabTotals);
    totals->setContentsMargins(4, 4, 4, 4);
    ui.lvTotals = new TotalsView;
    totals->addWidget(ui.lvTotals);
    ui.tabs->addTab(ui.tabMapping, QStringLiteral("Mapping"));
    ui.tabs->addTab(ui.tabSource, QStringLiteral("Source"));
    ui.tabs->addTab(ui.tabOutput, QStringLiteral("Output"));
    ui.tabs->addTab(ui.tabTotals, QStringLiteral("Totals"));
    ui.tabs->setTabVisible(1, false);
    ui.tabs->setTabVisible(2, false);
    ui.tabs->setTabVisible(3, false);
    ui.tabs->setCurrentIndex(0);
    window.setCentralWidget(ui.tabs);

    for (QWidget* widget : window.findChildren<QWidget*>())
        widget->setToolTipDuration(kHintDisplayMs);
    ApplyWhatsThis(&window);
    ApplyAccessibility(ui);
}

void SetInitialColumnWidths(MainWindowUi& ui)
{
    ui.lvSource->setColumnWidth(0, kSourceNoWidth);
    ui.lvSource->setColumnWidth(1, kSourceFieldWidth);
    ui.lvDestination->setColumnWidth(0, kDestinationFieldWidth);
    ui.lvDestination->setColumnWidth(1, kDestinationValueWidth);
    ui.lvDestination->setColumnWidth(2, kDestinationNoWidth);
    ui.lvDestination->setColumnWidth(3, kDestinationTypeWidth);
}

void FitListColumns(MainWindowUi& ui)
{
    ui.lvSource->setColumnWidth(1,
                                ui.lvSource->width() - ui.lvSource->columnWidth(0) - kColumnSlack);
    const int shared = ui.lvDestination->width() - ui.lvDestination->columnWidth(2) -
                       ui.lvDestination->columnWidth(3) - kColumnSlack;
    ui.lvDestination->setColumnWidth(0, shared / 2);
    ui.lvDestination->setColumnWidth(1, shared / 2);
}

void SetLongestLineSource(QListView* view, std::function<std::size_t()> longestLine)
{
    view->setItemDelegate(new LineDelegate(std::move(longestLine), view));
}

void ShowListFocus(QFrame* panel, bool focused)
{
    // A plain frame draws its border in the foreground colour, which the list does not use.
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText,
                     palette.color(focused ? QPalette::Highlight : QPalette::Button));
    panel->setPalette(palette);
}

} // namespace impmap::gui
