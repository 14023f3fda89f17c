#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>

namespace vx::ui {

// A deck's display: the scrolling title, the big time counter (length text), the pitch text, a
// secondary time text (loop end), the indicator row, the two edit arrows and, along the bottom, the
// song's overview (a waveform once known, a progress bar before), which the user presses or drags to seek.
//
// The title scrolls one step per tick(), which the window calls from its display timer; the LCD has no
// timer of its own. While the user holds the progress bar, progress set by the program is ignored so
// the bar stays under the pointer; progress() always answers what is shown.
class LcdDisplay : public QWidget {
    Q_OBJECT

  public:
    enum Indicator { Busy, Play, Pause, Stop, Cue, Loop, Extra, IndicatorCount };
    // Edit arrows: 0 forward, 1 back, 2 none.
    enum Arrow { ArrowForward = 0, ArrowBack = 1, ArrowNone = 2 };
    static constexpr int kScrollStep = 2;  // pixels per tick

    explicit LcdDisplay(QWidget* parent = nullptr);

    void setTitleText(const QString& text);
    QString titleText() const { return title_; }
    void setLengthText(const QString& text);
    QString lengthText() const { return length_; }
    void setTimeText(const QString& text);
    QString timeText() const { return time_; }
    void setPitchText(const QString& text);
    QString pitchText() const { return pitch_; }
    // The tempo as it plays, in the lower right corner of the counter's field; empty shows nothing.
    void setBpmText(const QString& text);
    QString bpmText() const { return bpm_; }

    // 0..100; values outside are clamped.
    void setProgress(int value);
    int progress() const { return progress_; }
    bool isProgressHeld() const { return progressHeld_; }
    class WaveformOverview* overview() const { return overview_; }

    void setIndicator(Indicator which, bool on);
    bool indicator(Indicator which) const { return indicators_[which]; }
    void setBusy(bool on) { setIndicator(Busy, on); }
    void setPlay(bool on) { setIndicator(Play, on); }
    void setPause(bool on) { setIndicator(Pause, on); }
    void setStop(bool on) { setIndicator(Stop, on); }
    void setCue(bool on) { setIndicator(Cue, on); }
    void setLoop(bool on) { setIndicator(Loop, on); }
    void setExtra(bool on) { setIndicator(Extra, on); }
    void setExtraLabel(const QString& label);

    // Any other value than 0 or 1 shows no arrow (and reads back as 2).
    void setCueEditArrow(int arrow);
    int cueEditArrow() const { return cueArrow_; }
    void setLoopEditArrow(int arrow);
    int loopEditArrow() const { return loopArrow_; }

    // One display tick: moves a title that is too long to fit by kScrollStep pixels.
    void tick();
    bool titleScrolls() const;
    int titleScrollOffset() const { return scroll_; }

    // Areas, for hit tests and for tests: the draggable progress strip and the title line.
    QRect progressRect() const;
    QRect titleRect() const;
    // The progress value under an x coordinate of the widget, and the share of the song (0..1).
    int progressAt(int x) const;
    double fractionAt(int x) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  signals:
    // The user pressed or dragged the progress bar to a new value.
    void progressMoved(int value);
    // The same, as finely as the pointer goes: the share of the song, 0..1.
    void seekMoved(double fraction);
    // Something was dropped on the display; `source` is the dragging widget when it is in this program.
    void dropped(QObject* source, QPoint position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    int px(double designPixels) const;  // a design measure at the console's scale
    void userProgress(int x);
    int titleWidth() const;
    void paintIndicators(class QPainter& p) const;
    void paintTitle(class QPainter& p) const;
    void paintCounters(class QPainter& p) const;
    void paintHeld(class QPainter& p) const;

    QString title_, length_, time_, pitch_, bpm_;
    QString extraLabel_ = QStringLiteral("AUTO");
    int progress_ = 0;
    double heldFraction_ = -1;
    bool progressHeld_ = false;
    class WaveformOverview* overview_ = nullptr;
    std::array<bool, IndicatorCount> indicators_{};
    int cueArrow_ = ArrowNone;
    int loopArrow_ = ArrowNone;
    int scroll_ = 0;
    // The title's width in pixels at the font size it was measured with (-1: not yet): asked in every
    // tick and paint, measured again only when the title or the scale changes.
    mutable int titleWidth_ = -1;
    mutable int titleWidthFont_ = 0;
};

}  // namespace vx::ui
