#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "services/qt_ticker.h"

namespace vx {
namespace {

TEST(QtTicker, TicksOnTheEventLoopAndStopsWhenDisabled) {
    int argc = 0;
    QCoreApplication app(argc, nullptr);
    QtTicker ticker;
    int ticks = 0;
    auto timer = ticker.createTimer(5, [&] { ++ticks; });
    EXPECT_FALSE(timer->isEnabled());
    timer->setEnabled(true);
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(ticks, 3);
    timer->setEnabled(false);
    const int stopped = ticks;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
    EXPECT_EQ(ticks, stopped);

    auto once = ticker.createTimer(1, [&] { ++ticks; });
    once->setSingleShot(true);
    once->setEnabled(true);
    clock.restart();
    while (once->isEnabled() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(ticks, stopped + 1);
}

}  // namespace
}  // namespace vx
