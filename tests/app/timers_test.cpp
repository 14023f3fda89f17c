#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "app/bvx_timer.h"
#include "app/main_timers.h"
#include "app/qt_ticker.h"
#include "support/fake_ticker.h"

namespace vx {
namespace {

TEST(BvxTimer, StartsWithItsOwnValuesWithoutTellingTheTimer) {
    test::FakeTicker ticker;
    BvxTimer timer(ticker);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_EQ(timer.Stats(), 20);
    const auto& state = *ticker.timers().at(0);
    EXPECT_EQ(state.setIntervalCalls, 0);
    EXPECT_EQ(state.setEnabledCalls, 0);
    EXPECT_FALSE(state.singleShot);
}

TEST(BvxTimer, AssigningWhatTheTimerHoldsSetsNothing) {
    test::FakeTicker ticker;
    BvxTimer timer(ticker);
    const auto& state = *ticker.timers().at(0);
    timer.setEnabled(false);
    timer.setInterval(1000);
    EXPECT_EQ(state.setEnabledCalls, 0);
    EXPECT_EQ(state.setIntervalCalls, 0);

    timer.setInterval(20);
    timer.setInterval(20);
    EXPECT_EQ(state.setIntervalCalls, 1);
    EXPECT_EQ(state.interval, 20);
    timer.setEnabled(true);
    timer.setEnabled(true);
    EXPECT_EQ(state.setEnabledCalls, 1);
    timer.setStats(5);
    EXPECT_EQ(timer.Stats(), 5);
    timer.setInterval(5'000'000'000LL);  // kept within 32 bits
    EXPECT_EQ(timer.Interval(), 2147483647);
}

TEST(BvxTimer, TicksRaiseTimerOnlyWhileEnabled) {
    test::FakeTicker ticker;
    BvxTimer timer(ticker);
    int ticks = 0;
    timer.Timer = [&] { ++ticks; };
    timer.setInterval(20);
    ticker.advance(100);
    EXPECT_EQ(ticks, 0);
    timer.setEnabled(true);
    ticker.advance(100);
    EXPECT_EQ(ticks, 5);
    timer.setEnabled(false);
    ticker.advance(100);
    EXPECT_EQ(ticks, 5);
}

TEST(BvxTimer, DestructionStopsTheTicksBeforeReleasingTheTimer) {
    test::FakeTicker ticker;
    int ticks = 0;
    {
        BvxTimer timer(ticker);
        timer.Timer = [&] { ++ticks; };
        timer.setEnabled(true);
    }
    const auto& state = *ticker.timers().at(0);
    EXPECT_EQ(state.setEnabledCalls, 2);  // on, then off by the destructor itself
    EXPECT_FALSE(state.alive);
    ticker.advance(5000);
    EXPECT_EQ(ticks, 0);
}

TEST(MainTimers, EveryTimerStartsDisabledAtItsInterval) {
    test::FakeTicker ticker;
    MainTimers timers(ticker);
    const auto& all = ticker.timers();
    ASSERT_EQ(all.size(), 10u);
    const std::vector<int> intervals{80, 80, 80, 30, 30, 100, 60, 1, 20, 20};
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i]->interval, intervals[i]) << i;
        EXPECT_FALSE(all[i]->enabled) << i;
    }
    EXPECT_TRUE(all[7]->singleShot);  // tmrAsync
    EXPECT_EQ(timers.tmrLLoop->Stats(), 5);
    EXPECT_EQ(timers.tmrRLoop->Interval(), 20);
}

TEST(MainTimers, TicksReachTheirHandlersAndDisableStopsThemAll) {
    test::FakeTicker ticker;
    MainTimers timers(ticker);
    std::vector<std::string> ran;
    timers.handlers.xfader = [&] { ran.push_back("xfader"); };
    timers.handlers.rLoop = [&] { ran.push_back("rLoop"); };
    timers.tmrXfader->setEnabled(true);
    timers.tmrRLoop->setEnabled(true);
    timers.tmrAutoFade->setEnabled(true);  // no handler yet: ticks do nothing
    ticker.advance(60);
    EXPECT_EQ(ran, (std::vector<std::string>{"rLoop", "rLoop", "xfader", "rLoop"}));
    timers.disableTimers();
    for (const auto& t : ticker.timers()) EXPECT_FALSE(t->enabled);
    timers.terminateTimers();
    EXPECT_FALSE(ticker.timers()[8]->alive);
    EXPECT_FALSE(ticker.timers()[9]->alive);
}

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
