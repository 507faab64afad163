#include "ui/config_editor/TAppearancePage.h"

#include "core/imaging/BmpConverter.h"
#include "ui/common/TDM_images.h"
#include "ui/common/Thint_Frame.h"
#include "ui/config_editor/AppearanceRendering.h"
#include "ui/config_editor/TAppearancePreview.h"
#include "ui/config_editor/TOutlineShape.h"
#include "ui/config_editor/TScaledCanvas.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include <utility>

namespace {
// The page's layout, in its own coordinates.
constexpr QRect kCaseBox(9, 9, 690, 362);
constexpr QRect kSurroundBox(94, 31, 520, 295);
constexpr QRect kBackgroundBox(114, 42, 480, 272);
constexpr QRect kLogoBox(469, 229, 125, 85);
constexpr QRect kBackgroundOuterBox(108, 36, 492, 284);
constexpr QRect kBackgroundInnerBox(110, 38, 488, 280);
constexpr QRect kLogoOuterBox(463, 223, 137, 97);
constexpr QRect kLogoInnerBox(465, 225, 133, 93);
constexpr QSize kScreenArea(708, 380);

constexpr int kFullLevel = 255;
constexpr std::array<const char*, 3> kColourNames{"Red", "Green", "Blue"};
constexpr std::array<const char*, 3> kSliderNames{"red_TrackBar", "green_TrackBar", "blue_TrackBar"};
constexpr std::array<const char*, 3> kLabelNames{"red_Label", "green_Label", "blue_Label"};

QPen outerPen()
{
    return QPen(Qt::black, 5);
}

QPen innerPen()
{
    return QPen(Qt::white, 1, Qt::DashLine);
}

TOutlineShape* shape(const QPen& pen, const char* name, QRect box, TScaledCanvas* canvas)
{
    auto* s = new TOutlineShape(pen);
    s->setObjectName(QString::fromLatin1(name));
    canvas->place(s, box);
    s->hide();
    return s;
}

Thint_Frame* marker(const char* name, QRect over, TScaledCanvas* canvas)
{
    auto* hint = new Thint_Frame(4);
    hint->setObjectName(QString::fromLatin1(name));
    canvas->placeCentred(hint, over.center());
    hint->hide();
    return hint;
}
} // namespace

TAppearancePage::TAppearancePage(const TDevice_Config_v2& record, const THandleList& images, QWidget* parent)
    : TConfigEditorPage(record, parent)
    , m_record(record)
    , m_images(images)
    , m_converter(std::make_unique<BmpConverter>())
{
    setObjectName(QStringLiteral("appearance_cfg_TabSheet"));
    // The case takes whatever room the page has; the sliders stand beside it.
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildScreen(), 1);
    layout->addWidget(buildColourControls());
}

TAppearancePage::~TAppearancePage() = default;

QWidget* TAppearancePage::buildScreen()
{
    auto* area = new TScaledCanvas(kScreenArea);
    area->setObjectName(QStringLiteral("appearance_Panel"));
    m_canvas = area;
    // Sharp at every size the case is drawn at.
    connect(area, &TScaledCanvas::rescaled, this, &TAppearancePage::renderCasePicture);

    m_case = new QLabel;
    m_case->setObjectName(QStringLiteral("rc_case_Image"));
    m_case->setScaledContents(true);
    m_case->setAccessibleName(QStringLiteral("R/C case"));
    area->place(m_case, kCaseBox);
    m_case->installEventFilter(this);
    renderCasePicture();

    m_surround = new QFrame;
    m_surround->setObjectName(QStringLiteral("Shape2"));
    area->place(m_surround, kSurroundBox);
    m_surround->setAutoFillBackground(true);
    QPalette black = m_surround->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_surround->setPalette(black);
    m_surround->installEventFilter(this);

    m_untinted = new TAppearancePreview;
    m_untinted->setObjectName(QStringLiteral("bg_preview_2_Image"));
    area->place(m_untinted, kBackgroundBox);
    m_untinted->hide();

    m_background = new TAppearancePreview;
    m_background->setObjectName(QStringLiteral("bgrd_preview_Image"));
    area->place(m_background, kBackgroundBox);
    m_background->setAccessibleDescription(QStringLiteral("Click to choose the background image"));
    m_background->setToolTip(QStringLiteral("Click to choose the background image"));
    m_background->installEventFilter(this);
    connect(m_background, &TAppearancePreview::clicked, this, &TAppearancePage::bgrd_preview_ImageClick);

    m_backgroundOuter = shape(outerPen(), "bg_highlight2_Shape", kBackgroundOuterBox, area);
    m_backgroundInner = shape(innerPen(), "bg_highlight_Shape", kBackgroundInnerBox, area);

    m_logo = new TAppearancePreview;
    m_logo->setObjectName(QStringLiteral("logo_preview_Image"));
    area->place(m_logo, kLogoBox);
    m_logo->setAccessibleDescription(QStringLiteral("Click to choose the logo image"));
    m_logo->setToolTip(QStringLiteral("Click to choose the logo image"));
    m_logo->installEventFilter(this);
    connect(m_logo, &TAppearancePreview::clicked, this, &TAppearancePage::logo_preview_ImageClick);

    m_logoOuter = shape(outerPen(), "logo_highlight2_Shape", kLogoOuterBox, area);
    m_logoInner = shape(innerPen(), "logo_highlight_Shape", kLogoInnerBox, area);

    m_backgroundHint = marker("bg_img_hint_Frame", kBackgroundBox, area);
    m_logoHint = marker("logo_img_hint_Frame", kLogoBox, area);

    auto* help = new Thint_Frame(5);
    help->setObjectName(QStringLiteral("appearance_hint_Frame"));
    help->resize(help->sizeHint());
    area->placeCentred(
        help, QPoint(kCaseBox.right() - Thint_Frame::kSide / 2 - 4, kCaseBox.top() + Thint_Frame::kSide / 2 + 4));

    // Nothing chosen yet: a blank screen.
    blankBackground();
    describePreviews();
    return area;
}

QWidget* TAppearancePage::buildColourControls()
{
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("colour_Panel"));
    auto* grid = new QGridLayout(box);
    for (int tag = 0; tag < 3; ++tag) {
        const QString colour = QString::fromLatin1(kColourNames[std::size_t(tag)]);
        auto* level = new QLabel(QString::number(kFullLevel));
        level->setObjectName(QString::fromLatin1(kLabelNames[std::size_t(tag)]));
        level->setAlignment(Qt::AlignCenter);
        level->setMinimumWidth(level->fontMetrics().horizontalAdvance(QStringLiteral("8888")));

        auto* slider = new QSlider(Qt::Vertical);
        slider->setObjectName(QString::fromLatin1(kSliderNames[std::size_t(tag)]));
        slider->setProperty("Tag", tag);
        slider->setRange(0, kFullLevel);
        slider->setValue(kFullLevel);
        slider->setSingleStep(1);
        slider->setPageStep(5);
        slider->setTickInterval(16);
        slider->setTickPosition(QSlider::TicksBothSides);
        // Long enough to set a level to the unit; taller where the page has room.
        slider->setMinimumHeight(100);
        slider->setAccessibleName(colour + QStringLiteral(" level"));
        slider->setToolTip(colour + QStringLiteral(" level of the background"));
        connect(slider, &QSlider::valueChanged, this, [this, tag] { RGB_TrackBarChange(tag); });

        auto* caption = new QLabel(colour);
        caption->setAlignment(Qt::AlignCenter);
        caption->setBuddy(slider);

        grid->addWidget(level, 0, tag, Qt::AlignHCenter);
        grid->addWidget(slider, 1, tag, Qt::AlignHCenter);
        grid->addWidget(caption, 2, tag, Qt::AlignHCenter);
        m_sliders[std::size_t(tag)] = slider;
        m_levels[std::size_t(tag)] = level;
    }
    auto* help = new Thint_Frame(6);
    help->setObjectName(QStringLiteral("bg_colour_hint_Frame"));
    grid->addWidget(help, 3, 0, 1, 3, Qt::AlignHCenter);
    grid->setRowStretch(1, 1);
    return box;
}

void TAppearancePage::renderCasePicture()
{
    const QString name = QStringLiteral("RC_CASE_PNG");
    if (!hasPicture(name))
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize shown = m_case->size().isEmpty() ? kCaseBox.size() : m_case->size();
    if (!m_case->pixmap().isNull() && m_case->pixmap().size() == shown * ratio)
        return;
    QPixmap pixmap = QPixmap::fromImage(picture(name, shown * ratio));
    pixmap.setDevicePixelRatio(ratio);
    m_case->setPixmap(pixmap);
}

void TAppearancePage::showEvent(QShowEvent* event)
{
    // Sharp on the screen the page is shown on.
    renderCasePicture();
    TConfigEditorPage::showEvent(event);
}

void TAppearancePage::setSelectionWindow(Timg_select_Form* window)
{
    if (m_selection)
        disconnect(m_selection, &QDialog::finished, this, nullptr);
    m_selection = window;
    if (m_selection)
        connect(m_selection, &QDialog::finished, this, &TAppearancePage::selectionFinished);
}

Timg_select_Form* TAppearancePage::selectionWindow()
{
    if (!m_selection)
        setSelectionWindow(new Timg_select_Form(this));
    return m_selection;
}

bool TAppearancePage::Render_Preview(int handle_index, int image_index, TAppearancePreview* target, QString* name)
{
    QImage image = target->picture();
    const bool found = ::Render_Preview(m_images, *m_converter, handle_index, image_index, image, name);
    target->setPicture(image);
    return found;
}

void TAppearancePage::showBackground(int image_index)
{
    const bool found = Render_Preview(kBackgroundsIdx, image_index, m_untinted, &m_backgroundName);
    m_background->setPicture(m_untinted->picture());
    m_backgroundShown = true;
    m_backgroundHint->setVisible(!found);
}

void TAppearancePage::showLogo(int image_index)
{
    const bool found = Render_Preview(kLogosIdx, image_index, m_logo, &m_logoName);
    m_logoShown = true;
    m_logoHint->setVisible(!found);
}

void TAppearancePage::blankBackground()
{
    QImage white(blankPreviewSize(kBackgroundsIdx), QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    m_untinted->setPicture(white);
    m_background->setPicture(white);
    m_backgroundName.clear();
    m_backgroundShown = false;
}

void TAppearancePage::emptyLogo()
{
    m_logo->clearPicture();
    m_logoName.clear();
    m_logoShown = false;
}

void TAppearancePage::describePreviews()
{
    const auto describe = [](const QString& what, bool shown, const QString& name) {
        if (!shown)
            return what + QStringLiteral(": not shown");
        if (name.isEmpty())
            return what + QStringLiteral(": image missing");
        return what + QStringLiteral(": ") + name;
    };
    m_background->setAccessibleName(describe(QStringLiteral("Background"), m_backgroundShown, m_backgroundName));
    m_logo->setAccessibleName(describe(QStringLiteral("Logo"), m_logoShown, m_logoName));
}

void TAppearancePage::Show_Appearance(const TDevice_Config_v2& config)
{
    if (m_images.size() < 2) {
        blankBackground();
        m_backgroundHint->show();
        m_logoHint->show();
        emptyLogo();
    } else {
        showBackground(config.theme_background_index);
        showLogo(config.theme_logo_index);
        if (!config.theme_background_enabled)
            blankBackground();
        if (!config.theme_logo_enabled)
            emptyLogo();
    }
    // Showing changes nothing in the record: the sliders follow it without
    // running their change handler, which would write theme_colour back.
    const std::array<int, 3> levels{int((config.theme_colour >> 16) & 0xFF), int((config.theme_colour >> 8) & 0xFF),
                                    int(config.theme_colour & 0xFF)};
    for (int tag = 0; tag < 3; ++tag) {
        QSlider* slider = m_sliders[std::size_t(tag)];
        const QSignalBlocker block(slider);
        slider->setValue(levels[std::size_t(tag)]);
        m_levels[std::size_t(tag)]->setText(QString::number(slider->value()));
    }
    tintCurrent();
    describePreviews();
}

void TAppearancePage::Tint_Preview(int blue_level, int green_level, int red_level)
{
    QImage tinted = m_background->picture();
    tintPicture(m_untinted->picture(), tinted, blue_level, green_level, red_level);
    m_background->setPicture(tinted);
}

void TAppearancePage::tintCurrent()
{
    Tint_Preview(m_sliders[2]->value(), m_sliders[1]->value(), m_sliders[0]->value());
}

void TAppearancePage::RGB_TrackBarChange(int tag)
{
    const QSlider* slider = m_sliders.at(std::size_t(tag));
    m_levels.at(std::size_t(tag))->setText(QString::number(slider->value()));
    tintCurrent();
    const uint32_t red = uint32_t(kFullLevel - m_sliders[0]->value());
    const uint32_t green = uint32_t(kFullLevel - m_sliders[1]->value());
    const uint32_t blue = uint32_t(kFullLevel - m_sliders[2]->value());
    const uint32_t colour = 0xFFFFFFu - red * 65536u - green * 256u - blue;
    editRecord([colour](TDevice_Config_v2& r) { r.theme_colour = colour; });
}

void TAppearancePage::bgrd_preview_ImageClick()
{
    openSelection(Choice::Background);
}

void TAppearancePage::logo_preview_ImageClick()
{
    openSelection(Choice::Logo);
}

void TAppearancePage::openSelection(Choice choice)
{
    const int handle = choice == Choice::Background ? kBackgroundsIdx : kLogosIdx;
    if (m_pending != Choice::None || handle >= int(m_images.size()) || !m_images[std::size_t(handle)])
        return;
    Timg_select_Form* window = selectionWindow();
    const bool background = choice == Choice::Background;
    m_oldEnabled = (background ? m_record.theme_background_enabled : m_record.theme_logo_enabled) != 0;
    m_oldIndex = background ? m_record.theme_background_index : m_record.theme_logo_index;
    window->handle_obj = m_images[std::size_t(handle)].get();
    window->imgEnabled = m_oldEnabled;
    window->img_scale_pct = background ? 50 : 100;
    window->bgcol_Panel()->setVisible(!background);
    m_pending = choice;
    // Modal to the window, without a nested loop: the result arrives in
    // selectionFinished.
    window->open();
}

void TAppearancePage::selectionFinished(int result)
{
    const Choice choice = std::exchange(m_pending, Choice::None);
    if (choice == Choice::None || result < Timg_select_Form::kOk || !m_selection)
        return;
    const bool background = choice == Choice::Background;
    const bool enabled = m_selection->imgEnabled;
    int index = m_oldIndex;

    const auto show = [this, background](int position) {
        if (background)
            showBackground(position);
        else
            showLogo(position);
    };
    const int clicked = result - Timg_select_Form::kClicked;
    bool reshow = false;
    if (result >= Timg_select_Form::kClicked && clicked <= 0xFF) {
        index = clicked;
        reshow = true;
    } else if (result == Timg_select_Form::kOk && !m_oldEnabled && enabled) {
        index = 0;
        reshow = true;
    }
    const bool modified = enabled != m_oldEnabled || index != m_oldIndex;
    if (modified) {
        // An odd stored flag (neither 0 nor 1) is kept while its meaning stays.
        const bool flip = enabled != m_oldEnabled;
        editRecord([background, index, enabled, flip](TDevice_Config_v2& r) {
            (background ? r.theme_background_index : r.theme_logo_index) = uint8_t(index);
            if (flip)
                (background ? r.theme_background_enabled : r.theme_logo_enabled) = enabled ? 1 : 0;
        });
    }
    if (reshow)
        show(index);
    if (!enabled) {
        if (background)
            blankBackground();
        else
            emptyLogo();
    }
    if (background)
        tintCurrent();
    describePreviews();
}

void TAppearancePage::showHighlights(bool background, bool logo)
{
    m_backgroundOuter->setVisible(background);
    m_backgroundInner->setVisible(background);
    m_logoOuter->setVisible(logo);
    m_logoInner->setVisible(logo);
}

bool TAppearancePage::eventFilter(QObject* watched, QEvent* event)
{
    const bool enter = event->type() == QEvent::Enter;
    const bool leave = event->type() == QEvent::Leave;
    if (!enter && !leave)
        return TConfigEditorPage::eventFilter(watched, event);
    if (watched == m_background) {
        if (enter) // bgrd_preview_ImageMouseEnter
            showHighlights(true, false);
        else
            showHighlights(false, m_logoOuter->isVisible());
    } else if (watched == m_logo) {
        if (enter) // logo_preview_ImageMouseEnter
            showHighlights(false, true);
        else
            showHighlights(m_backgroundOuter->isVisible(), false);
    } else if (watched == m_case || watched == m_surround) {
        // rc_case_ImageMouseEnter / Leave: both frames, both inner pens white dashes.
        m_backgroundInner->setPen(innerPen());
        m_logoInner->setPen(innerPen());
        showHighlights(enter, enter);
    }
    return TConfigEditorPage::eventFilter(watched, event);
}
