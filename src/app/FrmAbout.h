#pragma once

#include <QDialog>

class QLabel;

namespace tarquel {

// The about box: the application's title, version, revision and the maker's notice.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* owner);

    QLabel* label(const char* name) const;
};

// The maker's notice, its span of years ending with the given year.
QString aboutNotice(int currentYear);

}  // namespace tarquel
