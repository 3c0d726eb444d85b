#include "records/ReportPdf.h"

#include "calibration/CalPlotPainter.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace tarquel {

namespace {

constexpr int kPlotPixels = 600;
constexpr int kResolutionDpi = 150;

// The four points and the fitted centre and ellipse, as the main window's plot shows them.
QImage plotImage(const CalibrationWrite& write) {
    CalPlotModel model;
    model.testRunning(true);
    for (int slot = 0; slot < CalSlot::Count; ++slot) {
        model.pointStored(slot, write.points[static_cast<std::size_t>(slot)]);
    }
    model.solved(write.result);
    QImage image(kPlotPixels, kPlotPixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font = painter.font();
    font.setPixelSize(kPlotPixels / 30);
    painter.setFont(font);
    paintCalPlot(painter, QRectF(image.rect()), model,
                 {Qt::black, QColor(150, 150, 150), QColor(0, 90, 200), Qt::white});
    return image;
}

// Lays the report out on a page of the device's size and draws it.
void drawReport(QPaintDevice& device, const QSizeF& page, const CalibrationReportData& data) {
    QTextDocument document;
    document.setDocumentMargin(0);
    QFont font = document.defaultFont();
    font.setPointSizeF(9);
    document.setDefaultFont(font);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("plot.png")),
                         plotImage(data.write));
    document.documentLayout()->setPaintDevice(&device);
    document.setHtml(calibrationReportHtml(data));
    document.setPageSize(page);
    QPainter painter(&device);
    document.drawContents(&painter);
}

}  // namespace

bool writeCalibrationReport(const QString& path, const CalibrationReportData& data,
                            QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(kResolutionDpi);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        pdf.setTitle(QStringLiteral("Heading Calibration Report"));
        pdf.setCreator(QStringLiteral("Tarquel ") + data.programVersion);
        drawReport(pdf, pdf.pageLayout().paintRectPixels(pdf.resolution()).size(), data);
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

QImage calibrationReportImage(const CalibrationReportData& data) {
    // An A4 page at the PDF's resolution, its 15 mm margins included.
    const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                             QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    const QRect full = layout.fullRectPixels(kResolutionDpi);
    const QRect paint = layout.paintRectPixels(kResolutionDpi);
    QImage page(full.size(), QImage::Format_RGB32);
    page.fill(Qt::white);
    page.setDotsPerMeterX(static_cast<int>(kResolutionDpi / 0.0254));
    page.setDotsPerMeterY(static_cast<int>(kResolutionDpi / 0.0254));
    QImage content(paint.size(), QImage::Format_RGB32);
    content.setDotsPerMeterX(page.dotsPerMeterX());
    content.setDotsPerMeterY(page.dotsPerMeterY());
    content.fill(Qt::white);
    drawReport(content, QSizeF(paint.size()), data);
    QPainter(&page).drawImage(paint.topLeft(), content);
    return page;
}

bool saveCalibrationReportAs(const CalibrationReportData& data, FileDialogs& dialogs,
                             MessageBoxes& boxes, const QString& folder) {
    const QString proposed = folder + QStringLiteral("Calibration Report ") +
                             data.write.time.toUTC().toString(QStringLiteral("yyyy-MM-dd")) +
                             QStringLiteral(".pdf");
    const QString path =
        dialogs.saveFileName({QStringLiteral("Save Calibration Report"), proposed,
                              QStringLiteral("PDF files (*.pdf)|*.pdf"), QStringLiteral(".pdf")});
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo::exists(path) &&
        boxes.show({QStringLiteral("A file with this name already exists in the directory chosen. "
                                   "Do you want to overwrite the current file?"),
                    QStringLiteral("Overwrite Existing File?"), MsgIcon::Exclamation,
                    MsgButtons::YesNo}) != MsgAnswer::Yes) {
        return false;
    }
    QString error;
    if (!writeCalibrationReport(path, data, error)) {
        boxes.show(okBox({QStringLiteral("The calibration report could not be written to ") + path +
                          QStringLiteral(": ") + error},
                         QStringLiteral("Report Not Saved!"), MsgIcon::Critical));
        return false;
    }
    return true;
}

}  // namespace tarquel
