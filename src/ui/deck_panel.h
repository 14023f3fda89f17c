#pragma once

#include <array>
#include <functional>

#include "deck/deck_types.h"
#include "ui/widgets/console_panel.h"

namespace vx {

class Deck;
class DjConsole;
class HotCueRow;

namespace ui {
class DjSlider;
class LcdDisplay;
class StateButton;
class WaveformZoom;
}  // namespace ui

// One deck of the main window, built for either side: its LCD, transport and cue keys, loop keys,
// equaliser and pitch section. Every control calls one Deck method and the colours are drawn from the
// deck's state on refresh(); nothing is read back from a widget to decide anything.
class DeckPanel : public ui::ConsolePanel {
    Q_OBJECT
  public:
    DeckPanel(DjConsole& console, Side side, QWidget* parent = nullptr);

    Side side() const { return side_; }
    ui::LcdDisplay* lcd() const { return lcd_; }

    // Draws every control from the deck's state.
    void refresh();
    // The display tick: the title scrolls one step, then a refresh.
    void tick();

    // Where the keyboard focus goes after a cue or pitch control was used (the mixer panel).
    std::function<void()> focusMixer;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QWidget* buildTransport();
    QWidget* buildEqualiser();
    QWidget* buildPitch();
    ui::StateButton* key(const char* name, const QString& caption, const QString& tip, int style = 0);
    // Runs a deck action, then redraws the whole console (both decks and the mixer may change).
    void act(const std::function<void(Deck&)>& action);
    void dropRequested();
    void focusToMixer();

    DjConsole& console_;
    Deck& deck_;
    const Side side_;
    ui::LcdDisplay* lcd_ = nullptr;
    ui::WaveformZoom* zoom_ = nullptr;
    HotCueRow* hotCues_ = nullptr;
    ui::StateButton *open_ = nullptr, *play_ = nullptr, *pause_ = nullptr, *stop_ = nullptr, *cue_ = nullptr;
    ui::StateButton *cueBack_ = nullptr, *cueForward_ = nullptr, *playCue_ = nullptr, *resetCue_ = nullptr;
    ui::StateButton *loop_ = nullptr, *saveLoop_ = nullptr, *playLoop_ = nullptr;
    ui::StateButton *eqOn_ = nullptr, *pitchZero_ = nullptr, *speed22_ = nullptr, *speed44_ = nullptr;
    ui::StateButton *keyLock_ = nullptr, *sync_ = nullptr;
    ui::StateButton *bendPlus_ = nullptr, *bendMinus_ = nullptr;
    std::array<ui::StateButton*, 3> kills_{};
    std::array<ui::DjSlider*, 3> bands_{};
    ui::DjSlider* pitch_ = nullptr;
};

}  // namespace vx
