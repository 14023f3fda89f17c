#include "ui/options_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "options/settings_holder.h"
#include "support/fake_dialogs.h"
#include "support/fake_sound_library.h"
#include "support/memory_settings.h"
#include "ui/widgets/dj_slider.h"
#include "widgets_app.h"

namespace vx {
namespace {

QString frameOf(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (const auto* box = qobject_cast<const QGroupBox*>(p)) return box->title();
    }
    return {};
}

QStringList endLabelsOf(const QWidget* w) {
    QStringList texts;
    for (const QLabel* l : w->parentWidget()->findChildren<QLabel*>()) {
        if (l->property("endLabel").toBool()) texts << l->text();
    }
    return texts;
}

TEST(OptionsWindow, EveryControlIsThereAndTheKeyboardAloneChangesAndStoresThem) {
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
    EXPECT_EQ(window.objectName(), "optionsF");
    EXPECT_EQ(window.windowTitle(), "Velumix Options");
    EXPECT_LT(window.palette().color(QPalette::Window).lightness(), 40);
    EXPECT_GT(window.palette().color(QPalette::WindowText).lightness(), 200);

    struct SliderCase {
        const char* name;
        int minimum, maximum, value;
        QString frame, tip;
        QStringList ends;
    };
    const std::vector<SliderCase> sliders{
        {"bufferSlider", 2, 20, 11, "BUFFER (Restart)", "Set buffer size - Use large Buffer for slow machine... ",
         {"Small", "Large"}},
        {"eqBandWidthSlider", 0, 40, 20, "EQ-BW (Restart)", "Set EQ Bandwidth ... ", {}},
        {"stutterSlider", 60, 100, 80, "Stuttering Speed", "Adjust the cue search 'stutter'... ", {"Fast", "Slow"}},
        {"XFaderCutSpeed_slider", 30, 70, 50, "XFADER CUT SPEED", "Set Xfader 'Cutting' Speed...", {"Fast", "Slow"}},
        {"autoMixSlider", 70, 100, 85, "AUTO-DJ START", "How soon does AutoDJ Start...", {"Early", "Late"}},
        {"TurntableStopSpeed_slider", 1000, 7000, 4000, "TT BRAKING", "Braking Speed...",
         {"Slow", "Default", "Fast"}},
        {"pitchRange_slider", 0, 2, 0, "PITCH RANGE (+/-)", "Set +/- Pitch Range...", {}},
    };
    for (const SliderCase& c : sliders) {
        auto* s = window.findChild<ui::DjSlider*>(c.name);
        ASSERT_NE(s, nullptr) << c.name;
        EXPECT_EQ(s->minimum(), c.minimum) << c.name;
        EXPECT_EQ(s->maximum(), c.maximum) << c.name;
        EXPECT_EQ(s->value(), c.value) << c.name;
        EXPECT_EQ(frameOf(s), c.frame) << c.name;
        EXPECT_EQ(s->toolTip(), c.tip) << c.name;
        EXPECT_EQ(endLabelsOf(s), c.ends) << c.name;
    }
    EXPECT_EQ(window.findChild<ui::DjSlider*>("TurntableStopSpeed_slider")->smallChange(), 200);
    EXPECT_EQ(window.findChild<ui::DjSlider*>("TurntableStopSpeed_slider")->largeChange(), 500);

    auto* device = window.findChild<QComboBox*>("cmbDevice");
    EXPECT_EQ(frameOf(device), "Playback Device (Restart):");
    EXPECT_EQ(device->toolTip(), "Select Soundcard to use...");
    EXPECT_EQ(device->count(), 3);
    EXPECT_EQ(device->itemText(0), "Default Sound Device");
    auto* quality = window.findChild<QComboBox*>("cmbPlayQuality");
    EXPECT_EQ(frameOf(quality), "QUALITY (Restart)");
    EXPECT_EQ(quality->currentText(), "FM Quality - 22100Hz");
    EXPECT_EQ(window.findChild<QComboBox*>("cmbOutputLatency")->currentText(), "10 ms");
    EXPECT_EQ(window.findChild<QLabel*>("lblMeasuredLatency")->text(), "not measured");
    EXPECT_EQ(window.findChild<QRadioButton*>("optSeek_0")->text(), "Medium ");
    EXPECT_TRUE(window.findChild<QRadioButton*>("optSeek_0")->isChecked());
    EXPECT_EQ(frameOf(window.findChild<QRadioButton*>("optSeek_1")), "SEEKING ACCURACY");
    EXPECT_EQ(window.findChild<QRadioButton*>("djSetupOpt_1")->text(), "Battle - Mixer on Left");
    EXPECT_EQ(window.findChild<QRadioButton*>("djSetupOpt_0")->toolTip(), "DJ Setup...");
    EXPECT_EQ(frameOf(window.findChild<QLineEdit*>("txtPlaylistPath")), "FILE LOCATIONS");
    EXPECT_EQ(window.findChild<QPushButton*>("cmdAssociate")->text(), "Associate Music Files...");
    ASSERT_NE(window.findChild<QPushButton*>("cmdcloseButton"), nullptr);
    ASSERT_NE(window.findChild<QWidget*>("titleBar"), nullptr);
    ASSERT_NE(window.findChild<QWidget*>("imgIcon"), nullptr);

    // Tab reaches every control.
    QSet<QString> visited;
    for (int i = 0; i < 40; ++i) {
        if (QWidget* f = QApplication::focusWidget()) visited << f->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    for (const char* name : {"cmbDevice", "cmbPlayQuality", "cmbOutputLatency", "chkLimiter", "optSeek_0",
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
