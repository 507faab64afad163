#pragma once
// The modal gallery ("Select Image...") in which the installer picks the
// background or the logo the controller shows. Created once and reused: the
// caller sets handle_obj, imgEnabled, img_scale_pct and whether bgcol_Panel
// shows, opens the window and reads the result and imgEnabled back.
//
// Results: kCancel (2; anything below kOk counts as cancel), kOk (999: keep
// the chosen image, take imgEnabled) or kClicked + the position of the image
// clicked in the handle's cells.

#include <QColor>
#include <QDialog>
#include <QList>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class THandle_object;
class Timg_cell_Frame;

class Timg_select_Form : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCancel = 2;
    static constexpr int kOk = 999;
    static constexpr int kClicked = 1000;
    static constexpr int kGalleryTop = 50;
    static constexpr int kButtonPanelHeight = 52;
    static constexpr QRgb kSilver = 0xFFC0C0C0;

    explicit Timg_select_Form(QWidget* parent = nullptr);

    THandle_object* handle_obj = nullptr;
    bool imgEnabled = false;
    int img_scale_pct = 100;
    QList<Timg_cell_Frame*> imgList;
    int frame_counter = 1000;
    QColor scrollbox_color;

    QCheckBox* img_enabled_CheckBox() const { return m_enabledBox; }
    QWidget* bgcol_Panel() const { return m_bgcolPanel; }
    QSlider* bgcol_TrackBar() const { return m_bgcolSlider; }
    QScrollArea* img_ScrollBox() const { return m_scrollBox; }
    QWidget* img_FlowPanel() const { return m_flowPanel; }
    QPushButton* ok_Button() const { return m_ok; }
    QPushButton* cancel_Button() const { return m_cancel; }
    QLabel* howToChooseLabel() const { return m_howTo; }
    static QString howToChooseText()
    {
        return QStringLiteral("Click a picture to choose it. OK keeps the current choice and the tick box above.");
    }

    // Size of an image in the gallery at this window's screen, in device
    // pixels: the handle's size at img_scale_pct, at the screen's pixels per
    // inch (96 being 100 %).
    QSize cellPixelSize() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The handle's size at img_scale_pct and at the given pixels per inch.
    QSize scaledSize(qreal pixelsPerInch) const;
    void formShow();
    void destroyFrames();
    void imgEnabledCheckBoxClick();
    void bgcolTrackBarChange();
    void colourGallery();
    Timg_cell_Frame* addFrame(int position, QSize logicalSize, QSize pixelSize);

    QCheckBox* m_enabledBox = nullptr;
    QLabel* m_howTo = nullptr;
    QWidget* m_bgcolPanel = nullptr;
    QSlider* m_bgcolSlider = nullptr;
    QScrollArea* m_scrollBox = nullptr;
    QWidget* m_flowPanel = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};
