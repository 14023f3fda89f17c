#include "ui/options_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "options/settings_holder.h"
#include "support/fakes.h"
#include "support/fake_sound_library.h"
#include "ui/widgets/dj_slider.h"
#include "widgets_app.h"

namespace vx {
namespace {

// Every control is reached by Tab; the keyboard alone changes them, the set-up at once and the rest at close.
TEST(OptionsWindow, TheKeyboardAloneReachesChangesAndStoresEveryControl) {
    test::widgetsApp();
    QTemporaryDir dir;
    test::MemorySettings store;
    test::FakeDialogs dialogs;
    test::FakeSoundLibrary library;
    library.devices = {"No sound", "ALSA: hw:0,0", "JACK: system"};
    SettingsHolder holder;
    const QStringList devices = soundDeviceList(library);
    holder.reset(loadSettings(store, devices, dir.filePath("Playlists")));
    OptionsModel model(store, holder, dialogs, library, devices, dir.filePath("Playlists"));
    ui::OptionsWindow window(model, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* device = window.findChild<QComboBox*>("cmbDevice");
    EXPECT_EQ(device->count(), 3);
    EXPECT_EQ(device->itemText(0), "Default Sound Device");

    // Tab reaches every control.
    QSet<QString> visited;
    for (int i = 0; i < 40; ++i) {
        if (QWidget* f = QApplication::focusWidget()) visited << f->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const char* name : {"cmbDevice", "cmbPlayQuality", "cmbOutputLatency", "chkLimiter", "chkAutoGain",
                             "optSeek_0",
                             "bufferSlider", "eqBandWidthSlider", "stutterSlider", "XFaderCutSpeed_slider",
                             "autoMixSlider", "pitchRange_slider", "optEqMode_0", "TurntableStopSpeed_slider",
                             "djSetupOpt_0", "txtPlaylistPath", "cmdAssociate"}) {
        EXPECT_TRUE(visited.contains(name)) << name;
    }

    device->setFocus();
    QTest::keyClick(device, Qt::Key_End);  // the last card
    auto* stutter = window.findChild<ui::DjSlider*>("stutterSlider");
    stutter->setFocus();
    QTest::keyClick(stutter, Qt::Key_Right);
    auto* setup = window.findChild<QRadioButton*>("djSetupOpt_0");
    setup->setFocus();
    QTest::keyClick(setup, Qt::Key_Down);  // "Battle - Mixer on Left", applied at once
    EXPECT_EQ(holder.get().DjSetup, 1);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(store.values.value("initdevice"), "JACK: system");
    EXPECT_EQ(store.values.value("stutteringspeed"), "90");
    EXPECT_EQ(store.values.value("djsetup"), "1");
    EXPECT_EQ(holder.get().stutteringSpeed, 90);
}

}  // namespace
}  // namespace vx
