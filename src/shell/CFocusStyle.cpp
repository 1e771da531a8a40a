#include "shell/CFocusStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

void CFocusStyle::Install() {
    if (dynamic_cast<CFocusStyle*>(QApplication::style()) == nullptr) {
        QApplication::setStyle(new CFocusStyle);
    }
}

void CFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // On a chosen row the highlight is the row's own colour: the frame takes its text's.
    const QColor colour = option->palette.color(
        (option->state & State_Selected) ? QPalette::HighlightedText : QPalette::Highlight);
    painter->save();
    painter->setPen(QPen(colour, 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

void CFocusStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                              const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && (option->state & State_HasFocus)) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(*option);
        focus.rect = option->rect.adjusted(3, 3, -3, -3);
        drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
    }
}
