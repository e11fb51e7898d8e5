#include "suggest/SuggestController.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "mapping/SourceHeader.h"
#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "schema/FormCatalogue.h"
#include "settings/Settings.h"
#include "source/SplitRecord.h"
#include "suggest/HeaderChange.h"
#include "suggest/LearnedChoices.h"
#include "suggest/SuggestDialog.h"
#include "suggest/WorkspaceSuggest.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QStandardPaths>

namespace impmap::gui {
namespace {

const QString kEnabledCaption = QStringLiteral("&Suggest Mapping...");

// Why Suggest Mapping cannot run, as the menu says it; empty when it can.
QString MissingForSuggest(const Workspace& workspace)
{
    if (workspace.FormIndex() < 0 || workspace.Rows().empty())
        return QStringLiteral("Tax Form Required");
    if (SourceHeaderFields(workspace).empty())
        return QStringLiteral("Header Line Required");
    return {};
}

// The fields of the record whose values the dialog shows: the record on display, or the first
// one after the header line when the header line is on display.
std::vector<std::string> RecordFields(const Workspace& workspace, long& record)
{
    record = workspace.CurrentRecord();
    if (workspace.Header() == HeaderMode::Read && record == 1)
        record = 2;
    std::vector<std::string> fields;
    if (record < 1 || static_cast<size_t>(record) > workspace.RecordCount()) {
        record = 0;
        return fields;
    }
    SplitRecordUpTo(workspace.Lines().Line(static_cast<size_t>(record - 1)),
                    workspace.DelimiterCharacter(), fields, kMaxMergeField,
                    workspace.Format().encoding);
    return fields;
}

// The texts of the proposal's columns in fields, joined as the merge joins them.
QString Joined(const std::vector<std::string>& fields, const suggest::Proposal& proposal,
               const QString& separator)
{
    QStringList texts;
    const auto add = [&](int column) {
        if (column >= 1 && static_cast<size_t>(column) <= fields.size())
            texts << FromBytes(fields[static_cast<size_t>(column - 1)]);
    };
    add(proposal.column);
    for (int m : proposal.merged)
        add(m);
    return texts.join(separator);
}

} // namespace

SuggestController::SuggestController(MainWindowContext& context, MapFileController& mapFiles,
                                     QObject* parent)
    : QObject(parent), context_(context)
{
    MainWindowUi& ui = context_.ui;
    popupSuggestMapping_ = new QAction(kEnabledCaption, ui.popupTools);
    popupSuggestMapping_->setObjectName(QStringLiteral("popupSuggestMapping"));
    // Beside Map by Name, which it does better.
    const QList<QAction*> actions = ui.popupTools->actions();
    const qsizetype byName = actions.indexOf(ui.popupMapByName);
    ui.popupTools->insertAction(byName >= 0 && byName + 1 < actions.size() ? actions[byName + 1]
                                                                           : nullptr,
                                popupSuggestMapping_);

    bSuggest_ = new QPushButton(QStringLiteral("Su&ggest..."));
    bSuggest_->setObjectName(QStringLiteral("bSuggest"));
    bSuggest_->setAutoDefault(false);
    bSuggest_->setAccessibleName(QStringLiteral("Suggest Mapping"));
    bSuggest_->setAccessibleDescription(
        QStringLiteral("Proposes a source field for every destination field from the header line"));
    if (auto* strip = qobject_cast<QBoxLayout*>(ui.bTools->parentWidget()->layout())) {
        strip->insertWidget(strip->indexOf(ui.bTools), bSuggest_);
        QWidget::setTabOrder(ui.btUserManualOnline, bSuggest_);
        QWidget::setTabOrder(bSuggest_, ui.bTools);
    }

    connect(popupSuggestMapping_, &QAction::triggered, this,
            &SuggestController::popupSuggestMappingClick);
    connect(bSuggest_, &QPushButton::clicked, this, &SuggestController::popupSuggestMappingClick);
    connect(ui.popupTools, &QMenu::aboutToShow, this, &SuggestController::Refresh);
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, [this](unsigned changes) {
        if (changes & (kChangeRows | kChangeSettings | kChangeSourceOpened | kChangeSourceLines))
            Refresh();
    });
    // Queued: the notice comes once the window shows the map (at start-up too).
    connect(&mapFiles, &MapFileController::MappingOpened, this,
            &SuggestController::CheckSavedHeader, Qt::QueuedConnection);
    connect(&mapFiles, &MapFileController::MappingSaved, this,
            &SuggestController::RememberSavedMap);
    Refresh();
}

SuggestController::~SuggestController() = default;

SuggestDialog* SuggestController::Dialog() const
{
    return dialog_.data();
}

QString SuggestController::LearnedChoicesFile(const Settings& settings)
{
    const QString folder =
        settings.IniFilePath().isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : QFileInfo(settings.IniFilePath()).absolutePath();
    return QDir::toNativeSeparators(folder + QLatin1Char('/') +
                                    QString::fromLatin1(suggest::kLearnedChoicesFileName));
}

void SuggestController::Refresh()
{
    const Workspace& workspace = context_.workspace;
    const QString missing = MissingForSuggest(workspace);
    const bool enabled = missing.isEmpty() && !workspace.Executing();
    popupSuggestMapping_->setEnabled(enabled);
    popupSuggestMapping_->setText(missing.isEmpty()
                                      ? kEnabledCaption
                                      : QStringLiteral("Cannot Suggest Mapping (%1)").arg(missing));
    bSuggest_->setEnabled(enabled);
    bSuggest_->setToolTip(missing.isEmpty()
                              ? QStringLiteral("Suggest a source field for every destination field")
                              : QStringLiteral("Suggest Mapping: %1").arg(missing));
}

void SuggestController::popupSuggestMappingClick()
{
    RunGuarded(context_.prompts, [this] { OpenDialog(false); });
}

void SuggestController::OpenDialog(bool rematch)
{
    Workspace& workspace = context_.workspace;
    if (workspace.Executing() || !MissingForSuggest(workspace).isEmpty() || dialog_)
        return;
    std::string problem;
    const suggest::LearnedChoices learned = suggest::LearnedChoices::Load(
        FileSystemPath(LearnedChoicesFile(context_.settings)), &problem);
    const std::vector<suggest::Proposal> proposals =
        suggest::SuggestForWorkspace(workspace, &learned, rematch);
    const std::vector<std::string> header = SourceHeaderFields(workspace);
    long record = 0;
    const std::vector<std::string> fields = RecordFields(workspace, record);

    // What an unmapped row shows by itself, to tell a fixed value the user gave from it.
    Workspace blank;
    blank.ChooseForm(workspace.FormIndex());
    std::vector<SuggestionsModel::Row> rows;
    for (const suggest::Proposal& proposal : proposals) {
        SuggestionsModel::Row row;
        row.proposal = proposal;
        row.header = Joined(header, proposal, QStringLiteral(" + "));
        row.value = Joined(fields, proposal, QStringLiteral(" "));
        const DestinationRow& now = workspace.Rows()[static_cast<size_t>(proposal.row)];
        const std::string_view fixed = TrimView(now.value);
        const bool hasFixed =
            now.sourceFieldNo == 0 && !fixed.empty() &&
            fixed != TrimView(blank.Rows()[static_cast<size_t>(proposal.row)].value);
        if (proposal.column != 0 && now.sourceFieldNo != 0 &&
            now.sourceFieldNo != proposal.column && !proposal.followed)
            row.replaces = QStringLiteral("replaces column %1").arg(now.sourceFieldNo);
        else if (proposal.column != 0 && hasFixed)
            row.replaces = QStringLiteral("replaces the fixed value \"%1\"").arg(FromBytes(fixed));
        const bool high = proposal.confidence >= suggest::kHighConfidence;
        row.defaultTick = rematch ? high && now.sourceFieldNo != 0
                                  : high && (now.sourceFieldNo == proposal.column ||
                                             (now.sourceFieldNo == 0 && !hasFixed));
        rows.push_back(std::move(row));
    }

    const QString form = FromBytes(FormNames[static_cast<size_t>(workspace.FormIndex())]);
    const QString file = QFileInfo(PathText(workspace.SourcePath())).fileName();
    const QString intro =
        rematch ? QStringLiteral("The header line of %1 is not the one saved with the map. The "
                                 "ticked rows follow their columns to where they stand now; Apply "
                                 "leaves every other row as it is.")
                      .arg(file)
                : QStringLiteral("Proposals for the fields of %1 from the header line of %2. "
                                 "Apply assigns the ticked rows and leaves every other row as it "
                                 "is; rows of high confidence are ticked unless they would "
                                 "replace what you set.")
                      .arg(form, file);
    const QString note = problem.empty() ? QString()
                                         : QStringLiteral("Your earlier choices were not used: ") +
                                               ErrorText(FileError(problem));
    dialog_ = new SuggestDialog(intro, note, &context_.window);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    dialog_->Model().SetRows(std::move(rows), record);
    dialog_->Model().TickDefaults();
    connect(dialog_, &QDialog::accepted, this, &SuggestController::Apply);
    dialog_->open();
}

void SuggestController::Apply()
{
    if (!dialog_)
        return;
    const std::vector<AssignmentChoice> chosen = dialog_->Model().Chosen();
    RunGuarded(context_.prompts, [this, &chosen] {
        if (!context_.workspace.Executing())
            context_.undo.ChangeMapping([&] { context_.workspace.ApplySuggestions(chosen); },
                                        QStringLiteral("Suggest Mapping"));
    });
}

void SuggestController::CheckSavedHeader()
{
    const Workspace& workspace = context_.workspace;
    const std::vector<std::string> current = SourceHeaderFields(workspace);
    if (workspace.StoredHeader().empty() || current.empty())
        return;
    const std::vector<suggest::HeaderChange> changes =
        suggest::CompareHeaders(workspace.StoredHeader(), current);
    if (changes.empty())
        return;
    const QString text =
        QStringLiteral("The header line of %1 is not the one saved with %2:\r\n\r\n%3\r\n\r\nThe "
                       "mapping still takes its columns by their numbers. Re-match by name to "
                       "follow the columns to where they stand now.")
            .arg(QFileInfo(PathText(workspace.SourcePath())).fileName(),
                 PathText(workspace.MapFileName()),
                 FromBytes(suggest::DescribeHeaderChanges(changes)));
    MessageRequest request{QStringLiteral("Source Header Changed"),
                           text,
                           Icon::Warning,
                           {Button::Yes, Button::No},
                           Button::Yes,
                           false,
                           {QStringLiteral("&Re-match by Name"), QStringLiteral("&Keep Columns")}};
    if (context_.prompts.Message(request) == Button::Yes)
        RunGuarded(context_.prompts, [this] { OpenDialog(true); });
}

void SuggestController::RememberSavedMap()
{
    const QString file = LearnedChoicesFile(context_.settings);
    try {
        suggest::RememberMapChoices(context_.workspace, FileSystemPath(file));
    } catch (const FileError& error) {
        ShowError(context_.prompts,
                  QStringLiteral("The mapping was saved, but Suggest Mapping could not remember "
                                 "its choices. ") +
                      ErrorText(error));
    }
}

} // namespace impmap::gui
