#pragma once

#include <QDialog>

class QComboBox;

namespace tarquel {

class PortSelection;

// The serial settings dialog: the baud rate of the main window's port. OK applies the rate and
// puts the unit in decimal output; Cancel changes nothing.
class CommProperties : public QDialog {
    Q_OBJECT
public:
    CommProperties(PortSelection& ports, QWidget* parent = nullptr);

    QComboBox* Combo1() const { return Combo1_; }

private:
    void Form_Load();
    void selectCurrentBaud();
    void btnOK_Click();
    void btnCancel_Click();

    PortSelection& ports_;
    QComboBox* Combo1_;
};

}  // namespace tarquel
