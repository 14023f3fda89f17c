#include "deck/beat_sync.h"

#include <cmath>

namespace vx {

namespace {

double beats(const SyncView& v) {
    return (v.positionS - v.beatOffsetS) * v.bpm / 60.0;
}

QString percentText(double percent) {
    return QStringLiteral("%1%2 %").arg(percent >= 0 ? QStringLiteral("+") : QString()).arg(percent, 0, 'f', 1);
}

}  // namespace

SyncPlan planSync(const SyncView& self, const SyncView& other, double baseRate, double rangePercent,
                  double widestPercent) {
    SyncPlan plan;
    if (self.bpm <= 0) {
        plan.refusal = QStringLiteral("SYNC needs the tempo of this deck's song, and it is not known yet.");
        return plan;
    }
    if (other.bpm <= 0) {
        plan.refusal = QStringLiteral("SYNC needs the tempo of the other deck's song, and it is not known yet.");
        return plan;
    }
    // A song at half or double the other's tempo follows it beat for two, or two for one.
    const double tempo = other.bpm * other.rate;
    double perOtherBeat = 1;
    for (const double k : {0.5, 2.0}) {
        if (std::fabs(std::log(tempo * k / self.bpm)) < std::fabs(std::log(tempo * perOtherBeat / self.bpm))) {
            perOtherBeat = k;
        }
    }
    plan.rate = tempo * perOtherBeat / self.bpm;
    plan.pitchPercent = (plan.rate / baseRate - 1.0) * 100.0;
    if (std::fabs(plan.pitchPercent) > rangePercent + 1e-9) {
        plan.refusal = std::fabs(plan.pitchPercent) <= widestPercent
                           ? QStringLiteral("SYNC needs a pitch of %1, beyond the pitch range of ±%2 %. "
                                            "A wider pitch range can be chosen in the options.")
                                 .arg(percentText(plan.pitchPercent))
                                 .arg(rangePercent, 0, 'f', 0)
                           : QStringLiteral("SYNC needs a pitch of %1, beyond every pitch range (±%2 %).")
                                 .arg(percentText(plan.pitchPercent))
                                 .arg(widestPercent, 0, 'f', 0);
        return plan;
    }
    const double target = beats(other) * perOtherBeat;
    double phase = target - beats(self);
    phase -= std::floor(phase + 0.5);  // the nearest way, at most half a beat
    plan.jumpS = phase * 60.0 / self.bpm;
    return plan;
}

}  // namespace vx
