#pragma once

#include <QString>
#include <QWidget>

namespace vx::ui {

// A two-bar peak meter (A and B) fed with the engine's level words, 0..32768 each. Values are only
// set, never read back by the program. The bars are drawn as LED segments on a decibel scale (green,
// amber near the top, red at the top) with a peak marker that holds briefly and then falls; the
// marker moves on tick(), which the window calls from its display timer.
class LevelMeter : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFullScale = 32768;
    static constexpr int kPeakHoldTicks = 10;  // about 0.8 s at the 80 ms display tick

    explicit LevelMeter(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    // Values outside 0..32768 are clamped.
    void setBars(int a, int b);
    void setBarA(int value);
    void setBarB(int value);
    int barA() const { return a_; }
    int barB() const { return b_; }
    int peakA() const { return peakA_; }
    int peakB() const { return peakB_; }

    // One display tick: peak markers hold, then decay towards the bars.
    void tick();

    // An optional clip/limit light past the loud end of the bars (at the top of a vertical meter): a
    // square, bright red while lit.
    void setLightShown(bool shown);
    void setLightLit(bool lit);
    bool lightLit() const { return lightLit_; }

    // Small captions at the bars' ends: letters under a vertical meter ("R"/"L"), words before a
    // horizontal one ("L DECK"); empty draws none.
    void setCaptions(const QString& a, const QString& b);

    // Where a level sits on the drawn scale, 0..1 (-42 dB .. 0 dB of full scale).
    static double displayFraction(int value);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintBar(class QPainter& p, const QRect& area, int value, int peak) const;
    static int clampLevel(int v);

    Qt::Orientation orientation_;
    int a_ = 0, b_ = 0;
    int peakA_ = 0, peakB_ = 0;
    int holdA_ = 0, holdB_ = 0;
    QString captionA_, captionB_;
    bool lightShown_ = false, lightLit_ = false;
};

}  // namespace vx::ui
