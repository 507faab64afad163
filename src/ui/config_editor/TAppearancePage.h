#pragma once
// The appearance sub-page (appearance_cfg_TabSheet): the controller's case
// with a simulated screen showing the chosen background, tinted by the theme
// colour, and the chosen logo, both in the form the controller stores them
// (converted images dithered, JPEG images as imported). Clicking a preview
// opens the image selection window on that handle; three sliders set the
// theme colour's levels. Every change is written into the record at once.
//
// Sliders: a slider's value is its channel's level, 255 at the top; its
// position, counted from the top, is 255 minus the level.

#include "core/model/ProjectModel.h"
#include "ui/common/TConfigEditorPage.h"

#include <QPointer>

#include <array>
#include <memory>

class BmpConverter;
class QFrame;
class QLabel;
class QSlider;
class TAppearancePreview;
class TOutlineShape;
class TScaledCanvas;
class Thint_Frame;
class Timg_select_Form;

class TAppearancePage : public TConfigEditorPage {
    Q_OBJECT
public:
    // record and images: the open project's; both must outlive the page.
    TAppearancePage(const TDevice_Config_v2& record, const THandleList& images, QWidget* parent = nullptr);
    ~TAppearancePage() override;

    void Show_Device_Config(const TDevice_Config_v2& config) override { Show_Appearance(config); }

    // Loads the previews and the colour controls from the record.
    void Show_Appearance(const TDevice_Config_v2& config);

    // The window the previews open; without one the page makes its own.
    void setSelectionWindow(Timg_select_Form* window);
    Timg_select_Form* selectionWindow();

    // Tag 0 red, 1 green, 2 blue.
    QSlider* trackBar(int tag) const { return m_sliders.at(std::size_t(tag)); }
    QLabel* levelLabel(int tag) const { return m_levels.at(std::size_t(tag)); }
    TAppearancePreview* bgrd_preview_Image() const { return m_background; }
    TAppearancePreview* bg_preview_2_Image() const { return m_untinted; }
    TAppearancePreview* logo_preview_Image() const { return m_logo; }
    Thint_Frame* bg_img_hint_Frame() const { return m_backgroundHint; }
    Thint_Frame* logo_img_hint_Frame() const { return m_logoHint; }

    void bgrd_preview_ImageClick();
    void logo_preview_ImageClick();
    void Tint_Preview(int blue_level, int green_level, int red_level);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Choice { None, Background, Logo };

    QWidget* buildScreen();
    QWidget* buildColourControls();
    // Draws one image of a handle into target; name receives the image's
    // name, empty when the preview is blank.
    bool Render_Preview(int handle_index, int image_index, TAppearancePreview* target, QString* name);
    // Render the chosen image and set the hint marker from the result.
    void showBackground(int image_index);
    void showLogo(int image_index);
    void blankBackground();
    void emptyLogo();
    void describePreviews();
    void RGB_TrackBarChange(int tag);
    void tintCurrent();
    void openSelection(Choice choice);
    void selectionFinished(int result);
    void showHighlights(bool background, bool logo);
    void renderCasePicture();

    const TDevice_Config_v2& m_record;
    const THandleList& m_images;
    std::unique_ptr<BmpConverter> m_converter;

    TScaledCanvas* m_canvas = nullptr;
    QLabel* m_case = nullptr;
    QFrame* m_surround = nullptr;
    TAppearancePreview* m_background = nullptr;
    TAppearancePreview* m_untinted = nullptr;
    TAppearancePreview* m_logo = nullptr;
    TOutlineShape* m_backgroundOuter = nullptr;
    TOutlineShape* m_backgroundInner = nullptr;
    TOutlineShape* m_logoOuter = nullptr;
    TOutlineShape* m_logoInner = nullptr;
    Thint_Frame* m_backgroundHint = nullptr;
    Thint_Frame* m_logoHint = nullptr;
    std::array<QSlider*, 3> m_sliders{};
    std::array<QLabel*, 3> m_levels{};
    QString m_backgroundName;
    QString m_logoName;
    bool m_backgroundShown = false;
    bool m_logoShown = false;

    QPointer<Timg_select_Form> m_selection;
    Choice m_pending = Choice::None;
    bool m_oldEnabled = false;
    int m_oldIndex = 0;
};
