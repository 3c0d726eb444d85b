#include "cli/CliViews.h"

#include "cli/CliCommand.h"

namespace tarquel {

bool CliViews::isEnabled(CalControl control) const {
    const auto it = enabled_.find(control);
    return it != enabled_.end() && it->second;
}

int CliViews::OpenInfoWindow(const QString& message, const QString& title, int /*flags*/,
                             int /*countdownSeconds*/, int /*modal*/) {
    err_ << title << ": " << printableText(message) << "\n";
    err_.flush();
    return 1;
}

void CliViews::setPointCaptions(int slot, const QString& heading, const QString& hx,
                                const QString& hy) {
    if (!heading.isEmpty()) {
        out_ << "Stored " << SlotDegrees(slot) << ": heading " << heading << ", Hx " << hx
             << ", Hy " << hy << "\n";
        out_.flush();
    }
}

void CliViews::showResult(const CalibrationResult& r, int faceImage) {
    if (faceImage == 0) {
        return;
    }
    out_ << "          Decimal   Hex\n";
    const QString rows[4][3] = {{QStringLiteral("X Bias"), r.xBiasText, r.xBiasWord},
                                {QStringLiteral("Y Bias"), r.yBiasText, r.yBiasWord},
                                {QStringLiteral("X Gain"), r.xGainText, r.xGainWord},
                                {QStringLiteral("Y Gain"), r.yGainText, r.yGainWord}};
    for (const auto& row : rows) {
        out_ << qSetFieldWidth(8) << Qt::left << row[0] << qSetFieldWidth(9) << Qt::right << row[1]
             << qSetFieldWidth(0) << "   " << row[2] << "\n";
    }
    out_ << "Calc Error " << r.calQualText << "  " << r.calMsgText << "\n";
    out_.flush();
}

}  // namespace tarquel
