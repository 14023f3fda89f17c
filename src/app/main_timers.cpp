#include "app/main_timers.h"

namespace vx {

namespace {
std::unique_ptr<BvxTimer> makeLoopTimer(Ticker& ticker, std::function<void()>& handler) {
    auto timer = std::make_unique<BvxTimer>(ticker);
    timer->Timer = [&handler] {
        if (handler) handler();
    };
    timer->setInterval(20);
    timer->setStats(5);
    timer->setEnabled(false);
    return timer;
}
}  // namespace

MainTimers::MainTimers(Ticker& ticker) {
    tmrTrackLength = make(ticker, 80, &Handlers::trackLength);
    tmrLcue = make(ticker, 80, &Handlers::lcue);
    tmrRcue = make(ticker, 80, &Handlers::rcue);
    tmrLTurntableStop = make(ticker, 30, &Handlers::lTurntableStop);
    tmrRTurntableStop = make(ticker, 30, &Handlers::rTurntableStop);
    tmrAutoFade = make(ticker, 100, &Handlers::autoFade);
    tmrXfader = make(ticker, 60, &Handlers::xfader);
    tmrAsync = make(ticker, 1, &Handlers::async);
    tmrAsync->setSingleShot(true);
    tmrLLoop = makeLoopTimer(ticker, handlers.lLoop);
    tmrRLoop = makeLoopTimer(ticker, handlers.rLoop);
}

MainTimers::~MainTimers() = default;

std::unique_ptr<Timer> MainTimers::make(Ticker& ticker, int milliseconds,
                                        std::function<void()> Handlers::*handler) {
    return ticker.createTimer(milliseconds, [this, handler] {
        if (handlers.*handler) (handlers.*handler)();
    });
}

void MainTimers::disableTimers() {
    for (Timer* t : {tmrTrackLength.get(), tmrRcue.get(), tmrLcue.get(), tmrXfader.get(),
                     tmrLTurntableStop.get(), tmrRTurntableStop.get(), tmrAutoFade.get()}) {
        t->setEnabled(false);
    }
    if (tmrLLoop) tmrLLoop->setEnabled(false);
    if (tmrRLoop) tmrRLoop->setEnabled(false);
}

void MainTimers::terminateTimers() {
    tmrLLoop.reset();
    tmrRLoop.reset();
}

}  // namespace vx
