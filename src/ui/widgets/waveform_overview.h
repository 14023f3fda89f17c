#pragma once

#include <QImage>
#include <QWidget>
#include <optional>

#include "analysis/track_analysis.h"
#include "deck/deck_types.h"

namespace vx::ui {

// The whole song at a glance, in the deck display where the progress bar was: the waveform coloured
// by band with the played part shaded, and marks for the cue point, the loop, the mix point and the hot
// cues. In the song's last 30 s while playing it flashes. Until the song's waveform is known it is the
// plain segmented progress bar. Only draws: the display around it takes the pointer.
//
// The waveform is drawn once into an image, again only when the waveform or the size changes; a
// repaint copies it and draws the few marks over it.
class WaveformOverview : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kProgressSegments = 50;

    explicit WaveformOverview(QWidget* parent = nullptr);

    // The song's waveform, or null while there is none; `serial` changes whenever it does.
    void setWaveform(const analysis::WaveformSummary* summary, int serial);
    bool hasWaveform() const { return summary_ != nullptr; }
    void setMarks(const DeckMarks& marks);
    // The plain bar's lit share, 0..100.
    void setProgress(int percent);
    // While the user holds the display: the place under the hand stands for the play position.
    void setHeld(std::optional<double> fraction);

    // The x of a time in the song (seconds); -1 while the song's length is unknown.
    int xOf(double seconds) const;
    // Whether the end-of-song warning shows now (it blinks with the song's seconds).
    bool flashing() const;
    int imageBuilds() const { return builds_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    double playedFraction() const;
    int playedX() const;
    void rebuild();
    void paintPlainBar(class QPainter& p) const;
    void paintMarks(class QPainter& p) const;

    const analysis::WaveformSummary* summary_ = nullptr;
    int serial_ = -1;
    int builtSerial_ = -2;
    QImage image_;
    int builds_ = 0;
    DeckMarks marks_;
    int progress_ = 0;
    std::optional<double> held_;
};

}  // namespace vx::ui
