#pragma once
// One image of the selection window's gallery: the picture (Image1) inside a
// 5-pixel margin, a grey veil over the whole frame (dim_Image) while images
// are not shown, and a red frame while the pointer is over it. A click, or
// Space/Enter while it has the focus, calls img_cb_fn with idx. Screen
// readers see a button named after the image, whose press action clicks.

#include <QFrame>
#include <QImage>

#include <functional>

class QLabel;

class Timg_cell_Frame : public QFrame {
    Q_OBJECT
public:
    static constexpr int kMargin = 5;
    static constexpr int kHighlightPen = 4;

    explicit Timg_cell_Frame(QWidget* parent = nullptr);

    // picture: already at the device pixels of its box; logicalSize: the
    // box in the window's coordinates.
    void setPicture(const QImage& picture, QSize logicalSize);
    void setVeiled(bool veiled);
    bool isVeiled() const;
    bool isHighlighted() const { return m_highlighted; }

    QLabel* Image1() const { return m_image; }
    QLabel* dim_Image() const { return m_dim; }

    // What a click does, for the mouse, the keyboard and assistive tools;
    // nothing while the frame is disabled.
    void click();

    int idx = -1;
    std::function<void(int)> img_cb_fn;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setHighlighted(bool on);

    QLabel* m_image = nullptr;
    QLabel* m_dim = nullptr;
    bool m_highlighted = false;
    bool m_pressed = false;
};
