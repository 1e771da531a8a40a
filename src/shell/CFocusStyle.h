#pragma once

#include <QProxyStyle>

// The desktop's own style, with the keyboard's focus always in sight: a frame in the
// highlight's colour around the focused control, also on a default button (which the usual style
// draws the same whether it has the focus or not) and on a chosen row of a list.
class CFocusStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    // Once for the whole program, whatever number of times it is asked.
    static void Install();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
