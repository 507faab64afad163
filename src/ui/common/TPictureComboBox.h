#pragma once
// A drop-down list whose items are option pictures, 50 pixels high, without
// text on screen (the item texts stay in the list for screen readers and UI
// automation). A disabled list draws its pictures faded on the button-face
// colour. Dropped down it shows three items and is at least wide enough for
// a picture and a scroll bar.

#include "core/model/OptionCodes.h"

#include <QComboBox>

class TPictureComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TPictureComboBox(TControlOption option, QWidget* parent = nullptr);

    TControlOption option() const { return m_option; }
    static constexpr int kItemHeight = 50;
    static constexpr int kDropDownCount = 3;

    // occupied_run_ComboBoxDropDown: the width the list gets when it opens
    // (0: left to the list).
    int dropDownWidth() const;
    void showPopup() override;

    // Picks an item as a user does: it becomes current and activated is
    // emitted, so the page writes it. Used by assistive tools.
    void pickItem(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TControlOption m_option;
};
