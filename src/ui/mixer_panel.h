#pragma once

#include <array>

class QLabel;

#include "ui/widgets/console_panel.h"

namespace vx {

class DjConsole;
class NextSongBox;

namespace ui {
class DjSlider;
class LevelMeter;
class StateButton;
}  // namespace ui

// The mixer between the decks: deck faders with their meters, the headphone level, the master meter
// and volume, the monitor buttons, the crossfader with its cut buttons, and the next-song box with the
// Previous / Next Song buttons. Faders set mixer levels (turning downward positions into levels);
// everything shown is drawn from the models on refresh().
class MixerPanel : public ui::ConsolePanel {
    Q_OBJECT
  public:
    explicit MixerPanel(DjConsole& console, QWidget* parent = nullptr);

    void refresh();
    // The display tick: meter peaks fall, then a refresh.
    void tick();

  private:
    QWidget* buildNextSong();
    QWidget* buildFaders();
    QWidget* buildMaster();
    QWidget* buildCrossfader();
    QWidget* buildRecord();
    ui::DjSlider* fader(const char* name, Qt::Orientation orientation, const QString& tip);
    ui::StateButton* key(const char* name, int index, const QString& caption, const QString& tip, bool green);
    void changed();

    DjConsole& console_;
    NextSongBox* nextSong_ = nullptr;
    ui::StateButton* autoDj_ = nullptr;
    ui::LevelMeter *leftMeter_ = nullptr, *rightMeter_ = nullptr, *masterMeter_ = nullptr;
    ui::DjSlider *leftVolume_ = nullptr, *rightVolume_ = nullptr, *monitorVolume_ = nullptr;
    ui::DjSlider *mainVolume_ = nullptr, *crossfader_ = nullptr;
    std::array<ui::StateButton*, 3> monitors_{};
    std::array<ui::StateButton*, 2> cuts_{};
    ui::StateButton* record_ = nullptr;
    QLabel* recordTime_ = nullptr;
};

}  // namespace vx
