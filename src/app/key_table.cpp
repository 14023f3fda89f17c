// The console's key table: every key action and the handlers it calls, in the order the keys are tried.

#include <Qt>
#include <array>

#include "app/dj_console.h"
#include "app/key_dispatch.h"

namespace vx {

namespace {

// The pitch faders' two change amounts: Ctrl moves by the large one, Ctrl+Alt by the small one.
constexpr int kPitchLargeStep = 10;
constexpr int kPitchSmallStep = 1;
constexpr bool kRepeats = true;
constexpr bool kOnce = false;

Deck& left(KeyDispatch& k) {
    return k.console().deck(Side::Left);
}
Deck& right(KeyDispatch& k) {
    return k.console().deck(Side::Right);
}
MixerModel& mixer(KeyDispatch& k) {
    return k.console().mixer();
}

void call(const std::function<void()>& hook) {
    if (hook) hook();
}

// A pitch fader moved by a key; the deck applies it as it applies a drag.
void pitchStep(Deck& d, int delta) {
    d.pitchSlider_Change(d.state().pitchSlider + delta);
}

// The LCD's progress bar moved by one; the next display tick seeks there. It stays within 1..100.
void progressStep(Deck& d, int delta) {
    const int p = d.lcd().progress;
    if ((delta > 0 && p < 100) || (delta < 0 && p > 1)) d.setProgressByUser(p + delta);
}

// Level steps: louder is up (the faders that grow downwards move up for louder).
void deckLevelStep(KeyDispatch& k, int deck, int delta) {
    mixer(k).setDeckLevel(deck, mixer(k).deckLevel(deck) + delta);
}

void crossfaderStep(KeyDispatch& k, int delta) {
    mixer(k).setCrossfader(mixer(k).crossfader() + delta);
}

void releaseCutIfRunning(KeyDispatch& k) {
    if (mixer(k).cutRunning()) mixer(k).releaseCut();
}

void loadNextInto(KeyDispatch& k, int deck) {
    k.console().console().selectedDeck = deck;
    k.console().get_next_song();
}

// Back to the cue point as a right click on Play does, with the keyboard focus given to the mixer.
void backToCue(KeyDispatch& k, Deck& d) {
    call(k.console().actions().focusMixer);
    d.play_RightClick();
}

using W = KeyWhen;

constexpr KeyRow kRows[] = {
    {"show_keys", Qt::Key_F2, W::Always, kOnce, [](KeyDispatch& k) { k.setLabelsShown(true); }, nullptr,
     "show the shortcut labels"},
    {"hide_keys", Qt::Key_Escape, W::Always, kOnce, [](KeyDispatch& k) { k.setLabelsShown(false); }, nullptr,
     "hide the shortcut labels"},

    {"left_pitch_fine_down", Qt::Key_Z, W::CtrlAndAlt, kRepeats,
     [](KeyDispatch& k) { pitchStep(left(k), -kPitchSmallStep); }, nullptr,
     "Ctrl+Alt: left pitch, small step slower"},
    {"left_pitch_down", Qt::Key_Z, W::Ctrl, kRepeats,
     [](KeyDispatch& k) { pitchStep(left(k), -kPitchLargeStep); }, nullptr,
     "Ctrl: left pitch, large step slower"},
    {"left_bend_down", Qt::Key_Z, W::ShiftNoCtrl, kOnce,
     [](KeyDispatch& k) { left(k).bendMinus_MouseDown(); },
     [](KeyDispatch& k) { left(k).bendMinus_MouseUp(); }, "Shift: bend the left deck down while held"},
    {"left_pitch_fine_up", Qt::Key_X, W::CtrlAndAlt, kRepeats,
     [](KeyDispatch& k) { pitchStep(left(k), kPitchSmallStep); }, nullptr,
     "Ctrl+Alt: left pitch, small step faster"},
    {"left_pitch_up", Qt::Key_X, W::Ctrl, kRepeats,
     [](KeyDispatch& k) { pitchStep(left(k), kPitchLargeStep); }, nullptr,
     "Ctrl: left pitch, large step faster"},
    {"left_bend_up", Qt::Key_X, W::ShiftNoCtrl, kOnce, [](KeyDispatch& k) { left(k).bendPlus_MouseDown(); },
     [](KeyDispatch& k) { left(k).bendPlus_MouseUp(); }, "Shift: bend the left deck up while held"},
    {"right_pitch_fine_down", Qt::Key_Comma, W::CtrlAndAlt, kRepeats,
     [](KeyDispatch& k) { pitchStep(right(k), -kPitchSmallStep); }, nullptr,
     "Ctrl+Alt: right pitch, small step slower"},
    {"right_pitch_down", Qt::Key_Comma, W::Ctrl, kRepeats,
     [](KeyDispatch& k) { pitchStep(right(k), -kPitchLargeStep); }, nullptr,
     "Ctrl: right pitch, large step slower"},
    {"right_bend_down", Qt::Key_Comma, W::ShiftNoCtrl, kOnce,
     [](KeyDispatch& k) { right(k).bendMinus_MouseDown(); },
     [](KeyDispatch& k) { right(k).bendMinus_MouseUp(); }, "Shift: bend the right deck down while held"},
    {"right_pitch_fine_up", Qt::Key_Period, W::CtrlAndAlt, kRepeats,
     [](KeyDispatch& k) { pitchStep(right(k), kPitchSmallStep); }, nullptr,
     "Ctrl+Alt: right pitch, small step faster"},
    {"right_pitch_up", Qt::Key_Period, W::Ctrl, kRepeats,
     [](KeyDispatch& k) { pitchStep(right(k), kPitchLargeStep); }, nullptr,
     "Ctrl: right pitch, large step faster"},
    {"right_bend_up", Qt::Key_Period, W::ShiftNoCtrl, kOnce,
     [](KeyDispatch& k) { right(k).bendPlus_MouseDown(); },
     [](KeyDispatch& k) { right(k).bendPlus_MouseUp(); }, "Shift: bend the right deck up while held"},

    {"playlist", Qt::Key_F12, W::Always, kOnce,
     [](KeyDispatch& k) { call(k.console().actions().showPlaylist); }, nullptr, "the playlist window"},

    {"left_progress_up", Qt::Key_Up, W::CtrlNotAlt, kRepeats,
     [](KeyDispatch& k) { progressStep(left(k), 1); }, nullptr,
     "Ctrl: left deck one percent further into the song"},
    {"right_progress_up", Qt::Key_Up, W::AltNotCtrl, kRepeats,
     [](KeyDispatch& k) { progressStep(right(k), 1); }, nullptr,
     "Alt: right deck one percent further into the song"},
    {"monitor_louder", Qt::Key_Up, W::Shift, kRepeats,
     [](KeyDispatch& k) { mixer(k).setMonitorLevel(mixer(k).monitorLevel() + 1); }, nullptr,
     "Shift: headphones louder"},
    {"previous_song", Qt::Key_Up, W::Always, kRepeats, [](KeyDispatch& k) { k.console().upCB_Click(); },
     nullptr, "Previous Song"},
    {"left_progress_down", Qt::Key_Down, W::CtrlNotAlt, kRepeats,
     [](KeyDispatch& k) { progressStep(left(k), -1); }, nullptr, "Ctrl: left deck one percent back"},
    {"right_progress_down", Qt::Key_Down, W::AltNotCtrl, kRepeats,
     [](KeyDispatch& k) { progressStep(right(k), -1); }, nullptr, "Alt: right deck one percent back"},
    {"monitor_quieter", Qt::Key_Down, W::Shift, kRepeats,
     [](KeyDispatch& k) { mixer(k).setMonitorLevel(mixer(k).monitorLevel() - 1); }, nullptr,
     "Shift: headphones quieter"},
    {"next_song", Qt::Key_Down, W::Always, kRepeats, [](KeyDispatch& k) { k.console().downCB_Click(); },
     nullptr, "Next Song"},

    {"right_cut", Qt::Key_Left, W::CtrlNotAlt, kOnce,
     [](KeyDispatch& k) { mixer(k).pressCut(MixerModel::kRightDeck); }, releaseCutIfRunning,
     "Ctrl: right crossfader cut while held"},
    {"monitor_left", Qt::Key_Left, W::AltNotCtrl, kOnce, [](KeyDispatch& k) { mixer(k).pressMonitor(0); },
     nullptr, "Alt: monitor the left deck"},
    {"load_next_left", Qt::Key_Left, W::CtrlAndAlt, kOnce, [](KeyDispatch& k) { loadNextInto(k, 0); },
     nullptr, "Ctrl+Alt: next song into the left deck"},
    {"cue_back", Qt::Key_Left, W::Neither, kOnce,
     [](KeyDispatch& k) { k.console().decks().selected().cueBack_MouseDown(); },
     [](KeyDispatch& k) { k.console().decks().selected().cueBack_MouseUp(); },
     "move the selected deck's cue point back while held"},
    {"left_cut", Qt::Key_Right, W::CtrlNotAlt, kOnce,
     [](KeyDispatch& k) { mixer(k).pressCut(MixerModel::kLeftDeck); }, releaseCutIfRunning,
     "Ctrl: left crossfader cut while held"},
    {"monitor_right", Qt::Key_Right, W::AltNotCtrl, kOnce, [](KeyDispatch& k) { mixer(k).pressMonitor(1); },
     nullptr, "Alt: monitor the right deck"},
    {"load_next_right", Qt::Key_Right, W::CtrlAndAlt, kOnce, [](KeyDispatch& k) { loadNextInto(k, 1); },
     nullptr, "Ctrl+Alt: next song into the right deck"},
    {"cue_forward", Qt::Key_Right, W::Neither, kOnce,
     [](KeyDispatch& k) { k.console().decks().selected().cueForward_MouseDown(); },
     [](KeyDispatch& k) { k.console().decks().selected().cueForward_MouseUp(); },
     "move the selected deck's cue point forward while held"},

    {"left_volume_up", Qt::Key_F5, W::Always, kRepeats, [](KeyDispatch& k) { deckLevelStep(k, 0, 1); },
     nullptr, "left deck louder"},
    {"left_volume_down", Qt::Key_F6, W::Always, kRepeats, [](KeyDispatch& k) { deckLevelStep(k, 0, -1); },
     nullptr, "left deck quieter"},
    {"right_volume_up", Qt::Key_F7, W::Always, kRepeats, [](KeyDispatch& k) { deckLevelStep(k, 1, 1); },
     nullptr, "right deck louder"},
    {"right_volume_down", Qt::Key_F8, W::Always, kRepeats, [](KeyDispatch& k) { deckLevelStep(k, 1, -1); },
     nullptr, "right deck quieter"},
    {"main_volume_up", Qt::Key_PageUp, W::Always, kRepeats,
     [](KeyDispatch& k) { mixer(k).setMainVolume(mixer(k).mainVolume() + 1); }, nullptr, "main volume up"},
    {"main_volume_down", Qt::Key_PageDown, W::Always, kRepeats,
     [](KeyDispatch& k) { mixer(k).setMainVolume(mixer(k).mainVolume() - 1); }, nullptr, "main volume down"},

    {"left_loop", Qt::Key_Q, W::Shift, kOnce, [](KeyDispatch& k) { left(k).loop_Click(); }, nullptr,
     "Shift: left loop on the fly"},
    {"left_play", Qt::Key_Q, W::Always, kOnce, [](KeyDispatch& k) { left(k).play_Click(); }, nullptr,
     "left Play"},
    {"left_reset_cue", Qt::Key_W, W::Shift, kOnce, [](KeyDispatch& k) { left(k).resetCue_Click(); }, nullptr,
     "Shift: left Re-set Cuepoint"},
    {"left_previous_cue", Qt::Key_W, W::Always, kOnce, [](KeyDispatch& k) { left(k).playCue_Click(); },
     nullptr, "left Play previous Cue-point"},
    {"right_loop", Qt::Key_P, W::Shift, kOnce, [](KeyDispatch& k) { right(k).loop_Click(); }, nullptr,
     "Shift: right loop on the fly"},
    {"right_play", Qt::Key_P, W::Always, kOnce, [](KeyDispatch& k) { right(k).play_Click(); }, nullptr,
     "right Play"},
    {"right_reset_cue", Qt::Key_O, W::Shift, kOnce, [](KeyDispatch& k) { right(k).resetCue_Click(); },
     nullptr, "Shift: right Re-set Cuepoint"},
    {"right_previous_cue", Qt::Key_O, W::Always, kOnce, [](KeyDispatch& k) { right(k).playCue_Click(); },
     nullptr, "right Play previous Cue-point"},
    {"right_key_lock", Qt::Key_I, W::Shift, kOnce, [](KeyDispatch& k) { right(k).keyLock_Click(); }, nullptr,
     "Shift: right deck's key lock on or off"},
    {"left_key_lock", Qt::Key_E, W::Shift, kOnce, [](KeyDispatch& k) { left(k).keyLock_Click(); }, nullptr,
     "Shift: left deck's key lock on or off"},
    {"right_back_to_cue", Qt::Key_I, W::Always, kOnce, [](KeyDispatch& k) { backToCue(k, right(k)); },
     nullptr, "right deck back to its cue point"},
    {"left_back_to_cue", Qt::Key_E, W::Always, kOnce, [](KeyDispatch& k) { backToCue(k, left(k)); }, nullptr,
     "left deck back to its cue point"},
    {"right_pause", Qt::Key_0, W::Always, kOnce, [](KeyDispatch& k) { right(k).pause_Click(); }, nullptr,
     "right Pause"},
    {"left_pause", Qt::Key_2, W::Always, kOnce, [](KeyDispatch& k) { left(k).pause_Click(); }, nullptr,
     "left Pause"},

    {"crossfader_step_left", Qt::Key_V, W::Ctrl, kRepeats, [](KeyDispatch& k) { crossfaderStep(k, -1); },
     nullptr, "Ctrl: crossfader one step left"},
    {"crossfader_left", Qt::Key_V, W::Always, kOnce, [](KeyDispatch& k) { mixer(k).setCrossfader(0); },
     nullptr, "crossfader to the left deck only"},
    {"crossfader_centre", Qt::Key_B, W::Always, kOnce,
     [](KeyDispatch& k) { mixer(k).setCrossfader(mixer(k).sliderMax() / 2); }, nullptr,
     "crossfader to the centre"},
    {"crossfader_step_right", Qt::Key_N, W::Ctrl, kRepeats, [](KeyDispatch& k) { crossfaderStep(k, 1); },
     nullptr, "Ctrl: crossfader one step right"},
    {"crossfader_right", Qt::Key_N, W::Always, kOnce,
     [](KeyDispatch& k) { mixer(k).setCrossfader(mixer(k).sliderMax()); }, nullptr,
     "crossfader to the right deck only"},

    {"left_cue", Qt::Key_S, W::Always, kOnce, [](KeyDispatch& k) { left(k).cue_MouseDown(); }, nullptr,
     "left Cue: the cue point is set here"},
    {"right_cue", Qt::Key_K, W::Always, kOnce, [](KeyDispatch& k) { right(k).cue_MouseDown(); }, nullptr,
     "right Cue: the cue point is set here"},
    {"left_stop", Qt::Key_R, W::Always, kOnce, [](KeyDispatch& k) { left(k).stop_MouseDown(); }, nullptr,
     "left Stop"},
    {"right_stop", Qt::Key_U, W::Always, kOnce, [](KeyDispatch& k) { right(k).stop_MouseDown(); }, nullptr,
     "right Stop"},
    {"monitor_off", Qt::Key_F4, W::CtrlShift, kOnce, [](KeyDispatch& k) { mixer(k).pressMonitor(2); },
     nullptr, "Ctrl+Shift: stereo, monitor off"},
    {"auto_dj", Qt::Key_Return, W::Shift, kOnce,
     [](KeyDispatch& k) { call(k.console().actions().autoDjToggle); }, nullptr, "Shift: Auto DJ on or off"},
    {"left_save_loop", Qt::Key_F, W::Shift, kOnce, [](KeyDispatch& k) { left(k).saveLoop_Click(); }, nullptr,
     "Shift: save the left loop"},
    {"left_play_loop", Qt::Key_F, W::Always, kOnce, [](KeyDispatch& k) { left(k).playLoop_Click(); }, nullptr,
     "left Play - Saved loop"},
    {"right_save_loop", Qt::Key_H, W::Shift, kOnce, [](KeyDispatch& k) { right(k).saveLoop_Click(); },
     nullptr, "Shift: save the right loop"},
    {"right_play_loop", Qt::Key_H, W::Always, kOnce, [](KeyDispatch& k) { right(k).playLoop_Click(); },
     nullptr, "right Play - Saved loop"},
    {"options", Qt::Key_F10, W::Always, kOnce,
     [](KeyDispatch& k) { call(k.console().actions().openOptions); }, nullptr, "the options"},
    {"record", Qt::Key_F9, W::Neither, kOnce, [](KeyDispatch& k) { k.console().recording().toggle(); },
     nullptr, "REC: start or stop recording the mix"},
    {"right_eq", Qt::Key_Insert, W::Always, kOnce, [](KeyDispatch& k) { right(k).eq_Click(); }, nullptr,
     "right deck's equaliser on or off"},
    {"left_hot_cue_clear_1", Qt::Key_1, W::Shift, kOnce, [](KeyDispatch& k) { left(k).hotCueClear(1); },
     nullptr, "Shift: clear the left deck's hot cue 1"},
    {"left_hot_cue_1", Qt::Key_1, W::Always, kOnce, [](KeyDispatch& k) { left(k).hotCue_Click(1); }, nullptr,
     "left hot cue 1: set it here, or jump to it"},
    {"left_hot_cue_clear_2", Qt::Key_3, W::Shift, kOnce, [](KeyDispatch& k) { left(k).hotCueClear(2); },
     nullptr, "Shift: clear the left deck's hot cue 2"},
    {"left_hot_cue_2", Qt::Key_3, W::Always, kOnce, [](KeyDispatch& k) { left(k).hotCue_Click(2); }, nullptr,
     "left hot cue 2: set it here, or jump to it"},
    {"left_hot_cue_clear_3", Qt::Key_4, W::Shift, kOnce, [](KeyDispatch& k) { left(k).hotCueClear(3); },
     nullptr, "Shift: clear the left deck's hot cue 3"},
    {"left_hot_cue_3", Qt::Key_4, W::Always, kOnce, [](KeyDispatch& k) { left(k).hotCue_Click(3); }, nullptr,
     "left hot cue 3: set it here, or jump to it"},
    {"left_hot_cue_clear_4", Qt::Key_5, W::Shift, kOnce, [](KeyDispatch& k) { left(k).hotCueClear(4); },
     nullptr, "Shift: clear the left deck's hot cue 4"},
    {"left_hot_cue_4", Qt::Key_5, W::Always, kOnce, [](KeyDispatch& k) { left(k).hotCue_Click(4); }, nullptr,
     "left hot cue 4: set it here, or jump to it"},
    {"right_hot_cue_clear_1", Qt::Key_6, W::Shift, kOnce, [](KeyDispatch& k) { right(k).hotCueClear(1); },
     nullptr, "Shift: clear the right deck's hot cue 1"},
    {"right_hot_cue_1", Qt::Key_6, W::Always, kOnce, [](KeyDispatch& k) { right(k).hotCue_Click(1); },
     nullptr, "right hot cue 1: set it here, or jump to it"},
    {"right_hot_cue_clear_2", Qt::Key_7, W::Shift, kOnce, [](KeyDispatch& k) { right(k).hotCueClear(2); },
     nullptr, "Shift: clear the right deck's hot cue 2"},
    {"right_hot_cue_2", Qt::Key_7, W::Always, kOnce, [](KeyDispatch& k) { right(k).hotCue_Click(2); },
     nullptr, "right hot cue 2: set it here, or jump to it"},
    {"right_hot_cue_clear_3", Qt::Key_8, W::Shift, kOnce, [](KeyDispatch& k) { right(k).hotCueClear(3); },
     nullptr, "Shift: clear the right deck's hot cue 3"},
    {"right_hot_cue_3", Qt::Key_8, W::Always, kOnce, [](KeyDispatch& k) { right(k).hotCue_Click(3); },
     nullptr, "right hot cue 3: set it here, or jump to it"},
    {"right_hot_cue_clear_4", Qt::Key_9, W::Shift, kOnce, [](KeyDispatch& k) { right(k).hotCueClear(4); },
     nullptr, "Shift: clear the right deck's hot cue 4"},
    {"right_hot_cue_4", Qt::Key_9, W::Always, kOnce, [](KeyDispatch& k) { right(k).hotCue_Click(4); },
     nullptr, "right hot cue 4: set it here, or jump to it"},
    {"help", Qt::Key_F1, W::Always, kOnce, [](KeyDispatch& k) { call(k.console().actions().showHelp); },
     nullptr, "the manual"},
};

// The shortcut labels, each beside its control (see the window's label places).
constexpr std::array<std::array<const char*, 3>, KeyDispatch::kLabelCount> kLabels{{
    {"left_bend_down", "left_bend_up", nullptr},
    {"right_bend_down", "right_bend_up", nullptr},
    {"left_play", nullptr, nullptr},
    {"right_play", nullptr, nullptr},
    {"left_cue", nullptr, nullptr},
    {"right_cue", nullptr, nullptr},
    {"left_volume_up", "left_volume_down", nullptr},
    {"right_volume_up", "right_volume_down", nullptr},
    {"crossfader_left", "crossfader_centre", "crossfader_right"},
    {"main_volume_up", "main_volume_down", nullptr},
    {"previous_song", "next_song", nullptr},
}};

}  // namespace

std::span<const KeyRow> keyRows() {
    return kRows;
}

std::span<const char* const> labelActions(int index) {
    if (index < 0 || index >= KeyDispatch::kLabelCount) return {};
    const auto& actions = kLabels[static_cast<std::size_t>(index)];
    std::size_t n = 0;
    while (n < actions.size() && actions[n]) ++n;
    return {actions.data(), n};
}

}  // namespace vx
