#pragma once

#include "livedata/LiveViews.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace tarquel {

// The lower area of the main window: "Transmitted Flags and Information" (txtInformation with its
// caption Label46 and the badge lblCaution), "Software Generated Flags" (lblSoftwareInfo) and the
// communication settings (Label10 port, Label9 format, Label8 settings, lblCalMode).
class StatusPanel : public QWidget, public StatusView {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    QPlainTextEdit* txtInformation() const { return txtInformation_; }
    QLabel* portLabel() const { return Label10_; }
    QLabel* formatLabel() const { return Label9_; }

    void setPortCaption(const QString& caption);
    void setSettingsCaption(const QString& caption);
    void setFormatCaption(const QString& caption);
    void setCalModeCaption(const QString& caption);

    // StatusView
    void setInformationText(const QString& text) override;
    void setInformationCaption(const QString& caption) override;
    void showCautionBadge(const QString& caption, Rgb backColour) override;
    void hideCautionBadge() override;
    void setSoftwareInfo(const QString& text) override;

private:
    QWidget* buildCommBox();

    QPlainTextEdit* txtInformation_ = nullptr;
    QLabel* Label46_ = nullptr;
    QLabel* lblCaution_ = nullptr;
    QLabel* lblSoftwareInfo_ = nullptr;
    QLabel* Label8_ = nullptr;
    QLabel* Label9_ = nullptr;
    QLabel* Label10_ = nullptr;
    QLabel* lblCalMode_ = nullptr;
};

}  // namespace tarquel
