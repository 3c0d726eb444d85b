#pragma once

#include <QLabel>
#include <QString>

namespace tarquel {

// A label with its control name (the object name the themes and the tests find it by), its text
// and its alignment, owned by parent.
QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

// The name of element index of a control array: "DataBox_3".
QString indexedName(const char* name, int index);

}  // namespace tarquel
