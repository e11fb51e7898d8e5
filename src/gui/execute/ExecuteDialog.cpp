#include "execute/ExecuteDialog.h"

#include "prompts/Prompts.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

// The animation lives in this static library's resources; referencing the initialiser keeps the
// linker from dropping it. It must be called outside any namespace.
static void InitExecuteResources()
{
    Q_INIT_RESOURCE(execute);
}

namespace impmap::gui {

namespace {

constexpr int kClientWidth = 284;
constexpr int kClientHeight = 100;
constexpr int kAnimationHeight = 57;
constexpr int kStripHeight = 41;
constexpr int kIconSize = 32;
constexpr int kPanelPadding = 4; // between the record panel's frame and its text

// One icon frame: a dial whose hand has turned index eighths of a full turn.
QPixmap DrawFrame(int index)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kIconSize / 2.0, kIconSize / 2.0);
    painter.setPen(QPen(QColor(60, 80, 120), 1.5));
    painter.setBrush(QColor(235, 242, 252));
    painter.drawEllipse(centre, 14.0, 14.0);
    constexpr double kPi = 3.14159265358979323846;
    for (int tick = 0; tick < ExecuteDialog::kFrameCount; ++tick) {
        const double angle = tick * 2 * kPi / ExecuteDialog::kFrameCount - kPi / 2;
        const QPointF dot = centre + QPointF(std::cos(angle), std::sin(angle)) * 10.5;
        painter.setPen(Qt::NoPen);
        painter.setBrush(tick == index ? QColor(40, 140, 70) : QColor(160, 175, 200));
        painter.drawEllipse(dot, tick == index ? 2.6 : 1.6, tick == index ? 2.6 : 1.6);
    }
    const double angle = index * 2 * kPi / ExecuteDialog::kFrameCount - kPi / 2;
    painter.setPen(QPen(QColor(40, 60, 100), 2.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(std::cos(angle), std::sin(angle)) * 8.0);
    painter.setBrush(QColor(40, 60, 100));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, 2.0, 2.0);
    return pixmap;
}

} // namespace

const std::array<QPixmap, ExecuteDialog::kFrameCount>& ExecuteDialog::Frames()
{
    static const std::array<QPixmap, kFrameCount> frames = [] {
        std::array<QPixmap, kFrameCount> drawn;
        for (int i = 0; i < kFrameCount; ++i)
            drawn[static_cast<size_t>(i)] = DrawFrame(i);
        return drawn;
    }();
    return frames;
}

ExecuteDialog::ExecuteDialog(Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      prompts_(prompts)
{
    static const bool resourcesReady = [] {
        InitExecuteResources();
        return true;
    }();
    (void)resourcesReady;

    setWindowTitle(QStringLiteral("Mapping Source to Destination"));
    setObjectName(QStringLiteral("fmExecute"));
    // A progress window never ends the program, even when it is the last one closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kClientWidth, kClientHeight);

    BuildAnimation();
    auto* groove = new QFrame(this);
    groove->setFrameShape(QFrame::HLine);
    groove->setFrameShadow(QFrame::Sunken);

    QWidget* strip = BuildRecordStrip();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(animation_);
    layout->addWidget(groove);
    layout->addWidget(strip);

    timer_ = new QTimer(this);
    timer_->setInterval(kFrameIntervalMs);
    connect(timer_, &QTimer::timeout, this, &ExecuteDialog::TimerTick);
    connect(bCancel_, &QPushButton::clicked, this, &ExecuteDialog::bCancelClick);
    ShowFrame(0);
}

// The animated clip on its white band, above the groove.
void ExecuteDialog::BuildAnimation()
{
    animation_ = new QLabel(this);
    animation_->setObjectName(QStringLiteral("Animate1"));
    animation_->setFixedHeight(kAnimationHeight);
    animation_->setAlignment(Qt::AlignCenter);
    // The clip is drawn on white; the band around it matches.
    QPalette band = animation_->palette();
    band.setColor(QPalette::Window, Qt::white);
    animation_->setPalette(band);
    animation_->setAutoFillBackground(true);
    movie_ = new QMovie(QStringLiteral(":/execute/progress.gif"), QByteArray(), this);
    movie_->setCacheMode(QMovie::CacheAll);
    animation_->setMovie(movie_);
    movie_->jumpToFrame(0);
    // Played endlessly, whatever loop count the clip carries.
    connect(movie_, &QMovie::finished, this, [this] {
        if (animating_)
            movie_->start();
    });
}

// The strip below the groove: the icon, "Record: ", the position panel and Cancel.
QWidget* ExecuteDialog::BuildRecordStrip()
{
    auto* strip = new QWidget(this);
    strip->setFixedHeight(kStripHeight);
    image_ = new QLabel(strip);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setFixedSize(kIconSize, kIconSize);
    auto* label = new QLabel(QStringLiteral("Record: "), strip);
    label->setObjectName(QStringLiteral("Label1"));
    panel_ = new QLabel(QStringLiteral("0 of 0"), strip);
    panel_->setObjectName(QStringLiteral("RzPanel3"));
    panel_->setFrameShape(QFrame::Box);
    panel_->setLineWidth(2);
    panel_->setAlignment(Qt::AlignCenter);
    panel_->setFixedHeight(26);
    panel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    bCancel_ = new QPushButton(QStringLiteral("Cancel"), strip);
    bCancel_->setObjectName(QStringLiteral("bCancel"));
    bCancel_->setAutoDefault(false);
    bCancel_->setFixedWidth(70);

    auto* stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(6, 3, 6, 4);
    stripLayout->setSpacing(4);
    stripLayout->addWidget(image_);
    stripLayout->addWidget(label);
    stripLayout->addWidget(panel_, 1);
    stripLayout->addWidget(bCancel_);
    return strip;
}

ExecuteDialog::~ExecuteDialog() = default;

void ExecuteDialog::SetRunning(bool value)
{
    running_ = value;
    ShowPosition();
    KeepOnTop(value);
}

void ExecuteDialog::SetTotal(long count)
{
    total_ = count;
    const QString widest = QStringLiteral("%1 of %1").arg(count);
    panel_->setMinimumWidth(panel_->fontMetrics().horizontalAdvance(widest) +
                            2 * panel_->frameWidth() + 2 * kPanelPadding);
    layout()->activate();
    setFixedSize(std::max(kClientWidth, layout()->minimumSize().width()), kClientHeight);
}

void ExecuteDialog::SetPosition(long n)
{
    position_ = n;
    positionTotal_ = total_;
    panelCurrent_ = false;
    if (!running_)
        ShowPosition();
    emit PositionChanged(n);
}

void ExecuteDialog::ShowPosition()
{
    if (panelCurrent_)
        return;
    panel_->setText(PositionText());
    panelCurrent_ = true;
}

QString ExecuteDialog::PositionText() const
{
    return QStringLiteral("%1 of %2").arg(position_).arg(positionTotal_);
}

void ExecuteDialog::StartAnimation()
{
    animating_ = true;
    ShowFrame(0);
    movie_->start();
    timer_->start();
}

void ExecuteDialog::StopAnimation()
{
    animating_ = false;
    movie_->stop();
    timer_->stop();
    ShowFrame(1);
}

bool ExecuteDialog::Animating() const
{
    return animating_ && timer_->isActive();
}

void ExecuteDialog::ShowForRun()
{
    cancelled_ = false;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const QSize frame = frameGeometry().size().expandedTo(size());
        move(area.x() + (area.width() - frame.width()) / 2,
             area.y() + (area.height() - frame.height()) / 2);
    }
    show();
    raise();
}

void ExecuteDialog::reject()
{
    if (!running_)
        QDialog::reject();
}

void ExecuteDialog::closeEvent(QCloseEvent* event)
{
    if (running_) {
        event->ignore();
        return;
    }
    StopAnimation();
    QDialog::closeEvent(event);
}

void ExecuteDialog::bCancelClick()
{
    if (!running_)
        return;
    prompts_.Beep();
    StopAnimation();
    ShowPosition();
    // The question must not be hidden behind this window, which stays on top.
    KeepOnTop(false);
    const Button answer = prompts_.Confirm(QStringLiteral("Cancel this session?"),
                                           {Button::Yes, Button::No}, Button::Yes);
    if (answer == Button::Yes)
        SetCancelled(true);
    KeepOnTop(running_);
    StartAnimation();
}

void ExecuteDialog::TimerTick()
{
    ShowFrame(frameIndex_ + 1 > kFrameCount - 1 ? 0 : frameIndex_ + 1);
}

void ExecuteDialog::ShowFrame(int index)
{
    frameIndex_ = index;
    image_->setPixmap(Frames()[static_cast<size_t>(index)]);
}

void ExecuteDialog::KeepOnTop(bool onTop)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // Changing the flags hides a shown window; it comes back where it was.
    const bool wasVisible = isVisible();
    const QPoint position = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        move(position);
        show();
    }
}

} // namespace impmap::gui
