#pragma once
// One image of the image view: the picture on its backdrop, the image's name
// below it, and "Not Included" over a veiled picture when the image takes no
// part in the upload. Frames react to no clicks.

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>

class QLabel;
class TCell_object;

// Where the parts of a frame go, from the picture's and the caption's sizes.
struct TFrameGeometry {
    QSize frame;
    QRect image;
    QRect caption;
};

class TImageFrame : public QWidget {
    Q_OBJECT
public:
    // background: the handle's backdrop at its size; veil: drawn over the
    // picture of an excluded image.
    // The frame keeps what it shows and the picture's id, never the picture
    // itself, which an undo may replace.
    TImageFrame(const TCell_object& cell, const QImage& background, const QImage& veil, QWidget* parent = nullptr);

    uint64_t pictureId() const { return m_pictureId; }
    const QString& name() const { return m_name; }
    bool included() const { return m_included; }
    // The caption follows the image's name (after a rename); the frame
    // measures itself again.
    void showName(const QString& name);

    QLabel* Label1() const { return m_caption; }
    QLabel* Cell_Image() const { return m_image; }
    QLabel* Image1() const { return m_backdrop; }
    QLabel* NotInc_Label() const { return m_notIncluded; }

    // Content: the widest of the picture, the caption + 2 and 50 pixels; the
    // tallest of picture + caption + 4 and 50. The picture is centred in the
    // space above the caption; the frame adds 8 pixels on every side.
    static TFrameGeometry frameGeometry(QSize image, QSize caption);

    QSize sizeHint() const override { return m_geometry.frame; }
    QSize minimumSizeHint() const override { return m_geometry.frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void layOut();

    uint64_t m_pictureId;
    QString m_name;
    bool m_included;
    QSize m_imageSize;
    TFrameGeometry m_geometry;
    QLabel* m_backdrop;
    QLabel* m_image;
    QLabel* m_notIncluded;
    QLabel* m_caption;
};
