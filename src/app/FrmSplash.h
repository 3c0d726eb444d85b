#pragma once

#include "app/AppServices.h"
#include "app/startup/SplashView.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;

namespace tarquel {

class BaudTest;

// The splash window shown while start-up looks for the unit: product picture, name, version,
// maker, notice, the progress line and, during the baud-rate test, "Click to skip test". It owns
// the port TestComm used by port discovery and the baud-rate test.
class FrmSplash : public QWidget, public SplashView {
    Q_OBJECT
public:
    explicit FrmSplash(AppServices& services, QWidget* parent = nullptr);
    ~FrmSplash() override;

    SerialPort& TestComm() { return *TestComm_; }
    // The baud-rate test that clicks skip and that a key press abandons.
    void setBaudTest(BaudTest* test) { baudTest_ = test; }
    // Called when a key press during the baud-rate test closes the window: start-up ends there.
    void setOnAbandoned(std::function<void()> onAbandoned) {
        onAbandoned_ = std::move(onAbandoned);
    }

    void setLblMessagesText(const QString& text) override;
    void setLblClickVisible(bool visible) override;
    bool lblClickVisible() const override;

    QLabel* label(const char* name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<SerialPort> TestComm_;
    BaudTest* baudTest_ = nullptr;
    std::function<void()> onAbandoned_;
    QLabel* Image1_;
    QLabel* lblProductName_;
    QLabel* lblVersion_;
    QLabel* lblCompany_;
    QLabel* lblCopyright_;
    QLabel* lblMessages_;
    QLabel* lblClick_;
};

}  // namespace tarquel
