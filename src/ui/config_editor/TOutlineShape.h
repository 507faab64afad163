#pragma once
// A rectangle outline drawn with one pen along the inside of its box, such as
// the highlight frames around the appearance previews. It takes no mouse
// events: the pointer belongs to what lies below it.

#include <QPen>
#include <QWidget>

class TOutlineShape : public QWidget {
    Q_OBJECT
public:
    explicit TOutlineShape(const QPen& pen, QWidget* parent = nullptr);

    const QPen& pen() const { return m_pen; }
    void setPen(const QPen& pen);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPen m_pen;
};
