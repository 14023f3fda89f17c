#include "ui/associate_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "support/fakes.h"
#include "ui/widgets_app.h"

namespace vx::ui {
namespace {

// The whole dialog once: the choice read at opening, the start-up box, Escape and Update.
TEST(AssociateWindow, ShowsTheChoiceAndUpdateWritesIt) {
    test::widgetsApp();
    QTemporaryDir dir;
    DesktopAssociations associations(DesktopPaths::under(dir.filePath("config"), dir.filePath("data")));
    ASSERT_EQ(associations.update({0, 1, 0, 0, 0}), std::nullopt);
    test::FakeDialogs dialogs;
    int optStartUp = 1;

    auto* window = new AssociateWindow(associations, optStartUp, [&](int v) { optStartUp = v; }, dialogs, nullptr);
    window->show();
    EXPECT_EQ(window->associatedCount(), 1);
    for (const AssociationType& type : associationTypes()) {
        const auto* box = window->findChild<QCheckBox*>(type.checkBox);
        ASSERT_NE(box, nullptr) << type.checkBox;
        EXPECT_EQ(box->isChecked(), type.kind == AssociationKind::Wma) << type.checkBox;
    }

    // A click on the label toggles the box and the setting at once.
    auto* startup = window->findChild<QCheckBox*>("chkStartupShow");
    EXPECT_TRUE(startup->isChecked());
    QTest::mouseClick(window->findChild<QLabel*>("lblStartup"), Qt::LeftButton);
    EXPECT_FALSE(startup->isChecked());
    EXPECT_EQ(optStartUp, 0);

    // Escape changes no association; the box's value is kept on closing.
    window->findChild<QCheckBox*>("chkMP3")->setChecked(true);
    startup->setChecked(true);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(optStartUp, 1);
    EXPECT_EQ(associations.read(), (std::array<bool, kAssociationKinds>{false, true, false, false, false}));

    window = new AssociateWindow(associations, optStartUp, [&](int v) { optStartUp = v; }, dialogs, nullptr);
    window->findChild<QCheckBox*>("chkMP3")->setChecked(true);
    window->findChild<QCheckBox*>("chkWMA")->setChecked(false);
    window->findChild<QPushButton*>("cmdAssociate")->click();
    EXPECT_EQ(associations.read(), (std::array<bool, kAssociationKinds>{true, false, false, false, false}));
    EXPECT_TRUE(dialogs.shown.empty());
}

}  // namespace
}  // namespace vx::ui
