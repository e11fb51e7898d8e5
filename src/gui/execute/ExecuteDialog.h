#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>

class QLabel;
class QMovie;
class QPushButton;
class QTimer;

namespace impmap::gui {

class Prompts;

// The progress dialog of a run: a looping animation, a turning icon, "Record: N of M" and a
// Cancel button that asks before it cancels. It stays on top of other windows while a run is
// going on, and refuses to close until the run has ended.
class ExecuteDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kFrameCount = 8;
    static constexpr int kFrameIntervalMs = 500;

    explicit ExecuteDialog(Prompts& prompts, QWidget* parent = nullptr);
    ~ExecuteDialog() override;

    bool Running() const { return running_; }
    // While running the dialog stays on top; afterwards it lets the end-of-run boxes above it.
    void SetRunning(bool value);
    bool Cancelled() const { return cancelled_; }
    void SetCancelled(bool value) { cancelled_ = value; }
    long Total() const { return total_; }
    // The panel and, when needed, the dialog widen to show "Total of Total" in full.
    void SetTotal(long count);
    long Position() const { return position_; }
    // Shows "N of Total" in the record panel. While a run goes on nothing is painted until events
    // are let through, so the panel is brought up to date then, by ShowPosition: a label's text
    // costs more to set than a record to convert.
    void SetPosition(long n);
    void ShowPosition();
    // The text the panel shows, or shows at the next ShowPosition.
    QString PositionText() const;

    // The animation and the icon timer together.
    void StartAnimation();
    void StopAnimation();
    bool Animating() const;
    int FrameIndex() const { return frameIndex_; }

    // Centres the dialog on the screen and shows it, not modal; the Cancelled flag starts clear.
    void ShowForRun();

    QPushButton* CancelButton() const { return bCancel_; }
    // The icon frames, drawn at start-up.
    static const std::array<QPixmap, kFrameCount>& Frames();

signals:
    // The record panel has been given a new position.
    void PositionChanged(long position);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildAnimation();
    QWidget* BuildRecordStrip();
    void bCancelClick();
    void TimerTick();
    void ShowFrame(int index);
    void KeepOnTop(bool onTop);

    Prompts& prompts_;
    QLabel* animation_ = nullptr;
    QMovie* movie_ = nullptr;
    QLabel* image_ = nullptr;
    QLabel* panel_ = nullptr;
    QPushButton* bCancel_ = nullptr;
    QTimer* timer_ = nullptr;

    bool running_ = false;
    bool cancelled_ = false;
    bool animating_ = false;
    long total_ = 0;
    long position_ = 0;
    long positionTotal_ = 0; // the total when the position was set
    bool panelCurrent_ = true;
    int frameIndex_ = 0;
};

} // namespace impmap::gui
