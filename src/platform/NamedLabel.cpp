#include "platform/NamedLabel.h"

namespace tarquel {

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text,
                   Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    return label;
}

QString indexedName(const char* name, int index) {
    return QLatin1String(name) + QLatin1Char('_') + QString::number(index);
}

}  // namespace tarquel
