#include "calibration/CalibrationWrite.h"

#include <QJsonArray>

namespace tarquel {

namespace {

const char* const kWordNames[4] = {"xBias", "yBias", "xGain", "yGain"};

}  // namespace

QJsonObject calibrationChanges(const CalibrationWrite& write) {
    QJsonArray points;
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        const PointRecord& p = write.points[static_cast<std::size_t>(slot)];
        points.append(QJsonObject{{QStringLiteral("direction"), SlotDegrees(slot)},
                                  {QStringLiteral("heading"), p.heading},
                                  {QStringLiteral("Hx"), p.Hx},
                                  {QStringLiteral("Hy"), p.Hy},
                                  {QStringLiteral("V"), p.V},
                                  {QStringLiteral("xInclination"), p.xInclination},
                                  {QStringLiteral("yInclination"), p.yInclination}});
    }
    const CalibrationResult& r = write.result;
    const double decimals[4] = {r.xBias, r.yBias, r.xGain, r.yGain};
    const QString corrections[4] = {r.xBiasWord, r.yBiasWord, r.xGainWord, r.yGainWord};
    QJsonObject words;
    for (std::size_t i = 0; i < 4; ++i) {
        words.insert(QLatin1String(kWordNames[i]),
                     QJsonObject{{QStringLiteral("address"), write.addresses[i]},
                                 {QStringLiteral("value"), decimals[i]},
                                 {QStringLiteral("correction"), corrections[i]},
                                 {QStringLiteral("before"), write.before[i]},
                                 {QStringLiteral("after"), write.after[i]}});
    }
    return {{QStringLiteral("points"), points},
            {QStringLiteral("words"), words},
            {QStringLiteral("calibrationError"), r.calError},
            {QStringLiteral("verdict"), r.calMsgText},
            {QStringLiteral("verified"), write.verified}};
}

}  // namespace tarquel
