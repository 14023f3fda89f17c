#include "services/qt_ticker.h"

#include <QTimer>

namespace vx {

namespace {
class QtTimer : public Timer {
  public:
    QtTimer(int milliseconds, std::function<void()> tick) : tick_(std::move(tick)) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(milliseconds);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (tick_) tick_();
        });
    }
    void setInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
    int interval() const override { return timer_.interval(); }
    void setEnabled(bool enabled) override {
        if (!enabled) {
            timer_.stop();
        } else if (!timer_.isActive()) {
            timer_.start();
        }
    }
    bool isEnabled() const override { return timer_.isActive(); }
    void setSingleShot(bool singleShot) override { timer_.setSingleShot(singleShot); }

  private:
    QTimer timer_;
    std::function<void()> tick_;
};
}  // namespace

std::unique_ptr<Timer> QtTicker::createTimer(int milliseconds, std::function<void()> tick) {
    return std::make_unique<QtTimer>(milliseconds, std::move(tick));
}

}  // namespace vx
