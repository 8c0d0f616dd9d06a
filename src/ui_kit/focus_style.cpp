#include "ui_kit/focus_style.h"

#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace tavo {

namespace {

// A two-pixel outline in the highlight colour inside `rect`.
void outline(QPainter* painter, const QStyleOption* option, const QRect& rect) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->drawRect(rect.adjusted(1, 1, -1, -1));
    painter->restore();
}

bool hasFocus(const QStyleOption* option, const QWidget* widget) {
    return (option->state & QStyle::State_HasFocus) && widget && widget->hasFocus();
}

}  // namespace

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect) {  // check boxes, radio buttons, items
        outline(painter, option, option->rect);
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_PanelLineEdit && hasFocus(option, widget))
        outline(painter, option, option->rect);
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButtonBevel && hasFocus(option, widget))
        outline(painter, option, option->rect);
}

void FocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if ((control == CC_ComboBox || control == CC_SpinBox) && hasFocus(option, widget))
        outline(painter, option, option->rect);
}

}  // namespace tavo
