#pragma once
// The information badge: a round glyph whose balloon explains the part of the
// page it stands beside. The Tag chooses the title and the text; an unknown
// Tag shows "Undefined" for both. The balloon shows while the pointer is over
// the badge, and also while the badge has the keyboard focus, so it can be
// read without a mouse.

#include <QWidget>

class Thint_Frame : public QWidget {
    Q_OBJECT
public:
    explicit Thint_Frame(int tag = 0, QWidget* parent = nullptr);

    int Tag() const { return m_tag; }
    void setTag(int tag);

    static QString hintTitle(int tag);
    static QString hintText(int tag);

    static constexpr int kSide = 36;

    QSize sizeHint() const override { return QSize(kSide, kSide); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // A click, or Space or Enter on the focused badge, opens the text too:
    // hovering is not the only way, and not one a touch screen has.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showBalloon();

    int m_tag = 0;
};
