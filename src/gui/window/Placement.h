#pragma once

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QString>
#include <QWidget>

// Helpers for the window's fixed layout: every control sits at a fixed rectangle of its parent
// and carries its name as objectName.
namespace lumo {

template <typename Control, typename... Args>
Control* placeControl(QWidget* parent, const QString& name, int left, int top, int width,
                      int height, Args&&... args) {
    auto* control = new Control(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    control->setGeometry(left, top, width, height);
    return control;
}

// A text box into which only "-" and the digits 0 to 9 can be typed.
inline void makeIntegerInput(QLineEdit* box) {
    static const QRegularExpression kDigits(QStringLiteral("[-0-9]*"));
    box->setValidator(new QRegularExpressionValidator(kDigits, box));
}

}  // namespace lumo
