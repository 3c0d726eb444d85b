#include "platform/QtMessageBoxes.h"

#include "platform/LineEnds.h"

#include <QApplication>
#include <QMessageBox>

namespace tarquel {

MsgAnswer QtMessageBoxes::show(const MsgBox& box) {
    QMessageBox dialog(QApplication::activeWindow());
    dialog.setWindowTitle(box.title.isEmpty() ? QApplication::applicationName() : box.title);
    dialog.setText(plainLines(box.prompt));
    switch (box.icon) {
        case MsgIcon::None:
            dialog.setIcon(QMessageBox::NoIcon);
            break;
        case MsgIcon::Critical:
            dialog.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Question:
            dialog.setIcon(QMessageBox::Question);
            break;
        case MsgIcon::Exclamation:
            dialog.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Information:
            dialog.setIcon(QMessageBox::Information);
            break;
    }
    QList<QMessageBox::StandardButton> buttons;
    switch (box.buttons) {
        case MsgButtons::OK:
            buttons = {QMessageBox::Ok};
            break;
        case MsgButtons::OKCancel:
            buttons = {QMessageBox::Ok, QMessageBox::Cancel};
            break;
        case MsgButtons::YesNo:
            buttons = {QMessageBox::Yes, QMessageBox::No};
            break;
    }
    for (QMessageBox::StandardButton button : buttons) {
        dialog.addButton(button);
    }
    const int defaultIndex =
        box.defaultButton >= 0 && box.defaultButton < buttons.size() ? box.defaultButton : 0;
    dialog.setDefaultButton(buttons[defaultIndex]);
    dialog.setEscapeButton(buttons.size() > 1 ? buttons.last() : buttons.first());
    switch (dialog.exec()) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return MsgAnswer::OK;
    }
}

}  // namespace tarquel
