#include "AppearanceFixture.h"
#include "ProjectFixtures.h"

#include "core/model/PixelFormatTable.h"
#include "ui/config_editor/TAppearancePreview.h"
#include "ui/config_editor/Timg_select_Form.h"

#include <QTest>

#include <cstring>

QImage handlePicture(const THandle_object& handle, QColor colour)
{
    QImage image(handle.width, handle.height, QImage::Format_ARGB32_Premultiplied);
    if (colour.isValid()) {
        image.fill(colour);
        return image;
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int g = x * 255 / qMax(1, image.width() - 1);
            image.setPixel(x, y, qRgb(g, g, g));
        }
    return image;
}

TCell_object& addImage(THandleList& list, int idx, const QString& name, const QImage& picture)
{
    return addFixtureImage(*list[std::size_t(idx)], name, picture);
}

AppearanceFixture::AppearanceFixture()
{
    createDefaultHandles(images);
    page = new TAppearancePage(record, images);
    page->editInPlace(record);
    QObject::connect(page, &TConfigEditorPage::changed, [this] { ++changes; });
    page->move(20, 20);
    page->show();
    if (!QTest::qWaitForWindowExposed(page))
        qFatal("appearance page never shown");
}

AppearanceFixture::~AppearanceFixture()
{
    delete page;
}

void AppearanceFixture::show()
{
    page->Show_Appearance(record);
    changes = 0;
}

Timg_select_Form* AppearanceFixture::selection() const
{
    return page->selectionWindow();
}

Timg_select_Form* AppearanceFixture::open(TAppearancePreview* preview)
{
    QTest::mouseClick(preview, Qt::LeftButton, {}, preview->rect().center());
    Timg_select_Form* window = selection();
    if (!QTest::qWaitFor([window] { return window->isVisible(); }, 10000))
        qFatal("selection window never opened");
    return window;
}

void AppearanceFixture::finish(QWidget* clickTarget)
{
    Timg_select_Form* window = selection();
    QTest::mouseClick(clickTarget, Qt::LeftButton, {}, clickTarget->rect().center());
    if (!QTest::qWaitFor([window] { return !window->isVisible(); }, 10000))
        qFatal("selection window never closed");
}

bool sameRecord(const TDevice_Config_v2& a, const TDevice_Config_v2& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
