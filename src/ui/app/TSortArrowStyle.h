#pragma once
// A header whose sort arrow points the way the rows run: down for a
// descending order (largest, newest first), up for an ascending one, as file
// managers draw it. Qt's own header draws the opposite.

#include <QProxyStyle>

class TSortArrowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
