#include "ui/common/TPictureComboBox.h"

#include "ui/common/OptionPictures.h"
#include "ui/common/TOwnerDrawnAccessible.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

// occupied_run_ComboBoxDrawItem
class TPictureItemDelegate : public QStyledItemDelegate {
public:
    TPictureItemDelegate(TPictureComboBox* combo) : QStyledItemDelegate(combo), m_combo(combo) { }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool enabled = m_combo->isEnabled();
        QColor fill = m_combo->palette().color(enabled ? QPalette::Base : QPalette::Button);
        if (option.state & QStyle::State_Selected)
            fill = m_combo->palette().color(QPalette::Highlight);
        painter->fillRect(option.rect, fill);
        const QString name = OptionCodes::pictureNames(m_combo->option()).value(index.row());
        const QRect box(option.rect.topLeft(), QSize(option.rect.height(), option.rect.height()));
        if (!name.isEmpty())
            painter->drawImage(box, OptionPictures::picture(name, box.size(), m_combo->devicePixelRatioF(), !enabled));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return QSize(TPictureComboBox::kItemHeight, TPictureComboBox::kItemHeight);
    }

private:
    TPictureComboBox* m_combo;
};

// Styles that open a list over the current item show every item at once;
// a picture list drops down below its box showing three, and scrolls.
class TDropDownListStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TPictureComboBox::TPictureComboBox(TControlOption option, QWidget* parent) : QComboBox(parent), m_option(option)
{
    // A plain list view: the style's own popup would ignore the item height.
    setView(new QListView);
    setItemDelegate(new TPictureItemDelegate(this));
    addItems(OptionCodes::itemTexts(option));
    setMaxVisibleItems(kDropDownCount);
    auto* dropDownStyle = new TDropDownListStyle(QApplication::style()->name());
    dropDownStyle->setParent(this);
    setStyle(dropDownStyle);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    installOwnerDrawnAccessibility();
}

QSize TPictureComboBox::sizeHint() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QSize content(kItemHeight, kItemHeight);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &opt, content, this);
}

void TPictureComboBox::pickItem(int index)
{
    if (index < 0 || index >= count() || !isEnabled())
        return;
    setCurrentIndex(index);
    emit activated(index);
}

int TPictureComboBox::dropDownWidth() const
{
    int wanted = kItemHeight + 8;
    if (count() > kDropDownCount)
        wanted += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return width() < wanted ? wanted : 0;
}

void TPictureComboBox::showPopup()
{
    view()->setMinimumWidth(dropDownWidth());
    QComboBox::showPopup();
}

void TPictureComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    const bool enabled = isEnabled();
    painter.fillRect(field, palette().color(enabled ? QPalette::Base : QPalette::Button));
    const QString name = OptionCodes::pictureNames(m_option).value(currentIndex());
    if (name.isEmpty())
        return;
    const int side = qMin(field.height(), kItemHeight);
    const QRect box(field.left(), field.top() + (field.height() - side) / 2, side, side);
    painter.drawImage(box, OptionPictures::picture(name, box.size(), devicePixelRatioF(), !enabled));
}
