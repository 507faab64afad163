#pragma once
// A picture on the appearance page's simulated screen: the background or the
// logo preview. It draws its picture stretched proportionally into its box
// (nothing when it has none, so what lies below shows through) and reports
// a click, or Space/Enter while it has the focus, as clicked(). Screen
// readers see a button named after what it shows, whose press action clicks.

#include <QImage>
#include <QWidget>

class TAppearancePreview : public QWidget {
    Q_OBJECT
public:
    explicit TAppearancePreview(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    // Shows nothing.
    void clearPicture();

    // What a click does, for the mouse, the keyboard and assistive tools.
    void click();

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QImage m_picture;
    bool m_pressed = false;
};

// Registers the accessible interface of the previews; repeated calls do nothing.
void installAppearancePreviewAccessibility();
