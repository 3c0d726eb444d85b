#pragma once

#include "livedata/LiveViews.h"
#include "session/UnitSession.h"

#include <QGroupBox>
#include <array>

class QLabel;
class QPushButton;

namespace tarquel {

// The live values of the main window: the seven values with their captions (DataLabel, DataBox),
// the frame rate and count, and the unit found on the port. The Enter Data button and the
// information box it hands the focus to belong to other areas of the window.
class LiveValuesPanel : public QGroupBox, public LiveDataView, public UnitView {
    Q_OBJECT
public:
    explicit LiveValuesPanel(QWidget* parent = nullptr);
    // btnGetData and txtInformation, from the window's other areas.
    void setFocusTargets(QPushButton* btnGetData, QWidget* txtInformation);

    QLabel* DataLabel(int index) const { return DataLabel_[static_cast<std::size_t>(index)]; }

    // LiveDataView
    void setDataBoxCaption(int slot, const QString& caption) override;
    QString dataBoxCaption(int slot) const override;
    void setFrameCountCaption(const QString& caption) override;
    QString frameRateCaption() const override;
    void setFrameRateCaption(const QString& caption) override;
    bool getDataEnabled() const override;
    void focusGetData() override;
    // UnitView: lblUnit shows the family and the first line, its tool tip the whole text.
    void showIdentifiedUnit(const IdentifiedUnit& unit) override;

private:
    std::array<QLabel*, 7> DataBox_{};
    std::array<QLabel*, 7> DataLabel_{};
    QLabel* FrameRate_ = nullptr;
    QLabel* lblFrame_ = nullptr;
    QLabel* lblUnit_ = nullptr;
    QPushButton* btnGetData_ = nullptr;
    QWidget* txtInformation_ = nullptr;
};

}  // namespace tarquel
