#pragma once
// Project images for the appearance tests: the five handles of a new project
// with pictures of the test's choosing, and the appearance page on its own
// editing a record of the test's.

#include "core/model/DeviceConfig.h"
#include "core/model/ProjectModel.h"
#include "ui/config_editor/TAppearancePage.h"

#include <QColor>
#include <QImage>

class Timg_select_Form;

// A picture of the handle's size: a solid colour, or a left-to-right grey
// ramp when colour is invalid (a picture that dithering visibly changes).
QImage handlePicture(const THandle_object& handle, QColor colour = QColor());

// Appends a cell holding picture to the handle at position idx.
TCell_object& addImage(THandleList& list, int idx, const QString& name, const QImage& picture);

struct AppearanceFixture {
    TDevice_Config_v2 record = newProjectConfig();
    THandleList images;
    TAppearancePage* page = nullptr;
    int changes = 0;

    AppearanceFixture();
    ~AppearanceFixture();

    // Shows the record as the window does after opening a project; the count
    // of changes starts after it.
    void show();
    Timg_select_Form* selection() const;
    // Clicks a preview and waits until the selection window is up.
    Timg_select_Form* open(TAppearancePreview* preview);
    // Closes the open selection window with a click on one of its buttons or
    // frames and waits until it is gone.
    void finish(QWidget* clickTarget);
};

bool sameRecord(const TDevice_Config_v2& a, const TDevice_Config_v2& b);
