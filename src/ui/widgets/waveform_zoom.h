#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <vector>

#include "analysis/track_analysis.h"
#include "deck/deck_types.h"

namespace vx::ui {

// A few seconds of the song around the play head, which stands still in the middle while the waveform
// scrolls under it, with the beat grid's ticks (a longer one every fourth beat) and the cue, loop and
// hot-cue marks.
//
// The waveform and the ticks are drawn once into tiles of the song at the display's scale; a frame
// copies slices of the tiles and draws the head and the marks. While the deck plays, a 60 Hz timer
// reads the play position and scrolls; otherwise the display only follows setMarks().
class WaveformZoom : public QWidget {
    Q_OBJECT

  public:
    static constexpr double kSpanS = 8.0;  // seconds across the display
    static constexpr int kFrameMs = 16;
    static constexpr int kTileWidth = 512;

    explicit WaveformZoom(QWidget* parent = nullptr);
    ~WaveformZoom() override;

    // The song's analysis (waveform and beat grid), or null; `serial` changes whenever it does.
    void setAnalysis(const analysis::TrackAnalysis* analysis, int serial);
    void setMarks(const DeckMarks& marks);
    // Where a frame reads the play position (seconds) while the deck plays.
    void setPositionSource(std::function<double()> source) { source_ = std::move(source); }
    // Frames come while this is on, from one clock every running display shares: both decks' views
    // move in the same frame and repaint in one pass of the window.
    void setRunning(bool on);
    bool running() const { return running_; }
    // One frame: the play position read and, when it moved by a pixel, the display repainted.
    void frame();

    double pixelsPerSecond() const { return width() / kSpanS; }
    // The x of a time in the song (seconds) with the play head where it is now.
    double xOf(double seconds) const;
    int tilesHeld() const { return static_cast<int>(tiles_.size()); }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    struct Tile {
        int index;
        QImage image;
    };
    const QImage& tile(int index);
    void drawTicks(QImage& image, double firstS) const;
    void paintMarks(class QPainter& p) const;
    int headPixel() const;

    const analysis::TrackAnalysis* analysis_ = nullptr;
    int serial_ = -1;
    double gain_ = 1;
    std::vector<Tile> tiles_;
    DeckMarks marks_;
    std::function<double()> source_;
    bool running_ = false;
};

}  // namespace vx::ui
