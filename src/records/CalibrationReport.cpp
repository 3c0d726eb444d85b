#include "records/CalibrationReport.h"

namespace tarquel {

namespace {

QString cell(const QString& text, bool heading = false) {
    const QString tag = heading ? QStringLiteral("th") : QStringLiteral("td");
    return QLatin1Char('<') + tag + QLatin1Char('>') + text.toHtmlEscaped() + QStringLiteral("</") +
           tag + QLatin1Char('>');
}

QString row(const QStringList& cells, bool heading = false) {
    QString html = QStringLiteral("<tr>");
    for (const QString& text : cells) {
        html += cell(text, heading);
    }
    return html + QStringLiteral("</tr>");
}

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

}  // namespace

QString calibrationReportHtml(const CalibrationReportData& data) {
    const CalibrationWrite& w = data.write;
    const CalibrationResult& r = w.result;
    const QString table =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    QString html =
        QStringLiteral("<html><body style=\"font-size: 9pt\"><h2>Heading Calibration Report</h2>");
    html +=
        QStringLiteral("<p><b>Unit:</b> ") + data.unit.summary().toHtmlEscaped() +
        QStringLiteral("<br><b>Identification:</b> ") +
        data.unit.text.trimmed().toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral(" / ")) +
        QStringLiteral("<br><b>Date:</b> ") +
        w.time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'")) +
        QStringLiteral("<br><b>Computer:</b> ") + data.computer.toHtmlEscaped() +
        QStringLiteral(", Tarquel ") + data.programVersion.toHtmlEscaped() +
        QStringLiteral(", port ") + data.device.toHtmlEscaped() +
        QStringLiteral(" at %1 baud</p>").arg(data.baud);

    html += QStringLiteral("<h3>Points</h3>") + table +
            row({QStringLiteral("Direction"), QStringLiteral("Heading"), QStringLiteral("Hx"),
                 QStringLiteral("Hy"), QStringLiteral("V"), QStringLiteral("X Incl"),
                 QStringLiteral("Y Incl")},
                true);
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        const PointRecord& p = w.points[static_cast<std::size_t>(slot)];
        html += row({QString::number(SlotDegrees(slot)), number(p.heading, 1), number(p.Hx, 0),
                     number(p.Hy, 0), number(p.V, 0), number(p.xInclination, 1),
                     number(p.yInclination, 1)});
    }
    html += QStringLiteral("</table>");

    static const char* const kNames[4] = {"X Bias", "Y Bias", "X Gain", "Y Gain"};
    const QString decimals[4] = {r.xBiasText, r.yBiasText, r.xGainText, r.yGainText};
    const QString corrections[4] = {r.xBiasWord, r.yBiasWord, r.xGainWord, r.yGainWord};
    html += QStringLiteral("<h3>Calibration adjustments</h3>") + table +
            row({QString(), QStringLiteral("Decimal"), QStringLiteral("Hex"),
                 QStringLiteral("Address"), QStringLiteral("Before"), QStringLiteral("After")},
                true);
    for (std::size_t i = 0; i < 4; ++i) {
        html += row({QLatin1String(kNames[i]), decimals[i], corrections[i], w.addresses[i],
                     w.before[i], w.after[i]});
    }
    html +=
        QStringLiteral("</table><p><b>Calc Error:</b> ") + r.calQualText.toHtmlEscaped() +
        QStringLiteral(" (") + r.calMsgText.toHtmlEscaped() + QStringLiteral(")<br>") +
        (w.verified ? QStringLiteral("<b>Verified:</b> each word grew by exactly its "
                                     "correction.")
                    : QStringLiteral("<b>Not verified:</b> the words read back differ from "
                                     "the words intended.")) +
        QStringLiteral("<br><b>Backup before the change:</b> ") +
        (data.backup.isEmpty() ? QStringLiteral("none was made") : data.backup.toHtmlEscaped()) +
        QStringLiteral("</p>");
    html += QStringLiteral(
        "<h3>Field</h3><p><img src=\"plot.png\" width=\"420\" height=\"420\"><br>Hx against Hy "
        "of the four points, the fitted centre (-X Bias, -Y Bias) and the ellipse of the two "
        "ranges.</p></body></html>");
    return html;
}

}  // namespace tarquel
