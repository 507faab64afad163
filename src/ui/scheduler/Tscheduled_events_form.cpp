#include "ui/scheduler/Tscheduled_events_form.h"

#include "ui/common/PictureIcon.h"

#include "ui/scheduler/EventOptions.h"
#include "ui/scheduler/TEventGridDelegate.h"
#include "ui/scheduler/TEventTimeEdit.h"
#include "ui/scheduler/Tcopy_events_Form.h"
#include "ui/scheduler/Tfc_ctrl_Frame.h"
#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include "ui/common/OptionPictures.h"
#include "ui/common/TDM_images.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegion>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Pictures of the editor's buttons, by their place in the store's list.
enum : int { kAddPicture = 0, kDeleteOffPicture = 1, kDeletePicture = 2, kEditPicture = 3, kCopyPicture = 4 };
constexpr int kLargePicture = 40;
constexpr int kSmallPicture = 32;
constexpr int kColumns = 7;
constexpr int kButtonColumn = 6;

// Drawn at the size and density shown, so the buttons stay sharp at any scale.
QIcon buttonIcon(int pictureIndex, int)
{
    return pictureIcon(TDM_imagestore::misc200Names().value(pictureIndex));
}

QToolButton* pictureButton(const char* objectName, const QString& hint, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIconSize(QSize(kLargePicture, kLargePicture));
    button->setAutoRaise(true);
    return button;
}

QPushButton* textButton(const char* objectName, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    return button;
}

QString eventTime(int minute)
{
    return QString::asprintf("%02d:%02d", minute / 60, minute % 60);
}
} // namespace

Tscheduled_events_form::Tscheduled_events_form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("scheduled_events_form"));
    setWindowTitle(QStringLiteral(" Scheduled Events"));
    setWindowModality(Qt::ApplicationModal);
    setMinimumSize(kWidth, kMinimumHeight);
    setMaximumWidth(kWidth);

    dow_Label = new QLabel(this);
    dow_Label->setObjectName(QStringLiteral("dow_Label"));
    QFont dayFont = dow_Label->font();
    dayFont.setPointSize(16);
    dayFont.setBold(true);
    dow_Label->setFont(dayFont);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_listPage = buildListPage();
    m_editPage = buildEditPage();
    m_pages->addWidget(m_listPage);
    m_pages->addWidget(m_editPage);

    m_copyForm = new Tcopy_events_Form(this);
    connect(m_copyForm, &QDialog::finished, this, &Tscheduled_events_form::copyFormFinished);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dow_Label);
    layout->addWidget(m_pages, 1);
    showButtonPictures();
}

QWidget* Tscheduled_events_form::buildListPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("event_list_TabSheet"));
    m_copy = pictureButton("copy_Button", QStringLiteral("Copy Event List"), page);
    m_copy->setIcon(buttonIcon(kCopyPicture, kLargePicture));
    m_deleteToggle = pictureButton("del_toggle_Button", QStringLiteral("Enable/Disable Delete Event"), page);
    m_deleteToggle->setCheckable(true);
    m_add = pictureButton("add_Button", QStringLiteral("Add New Event"), page);
    m_add->setIcon(buttonIcon(kAddPicture, kLargePicture));
    connect(m_copy, &QToolButton::clicked, this, &Tscheduled_events_form::copy_ButtonClick);
    connect(m_deleteToggle, &QToolButton::clicked, this, &Tscheduled_events_form::del_toggle_ButtonClick);
    connect(m_add, &QToolButton::clicked, this, &Tscheduled_events_form::add_ButtonClick);

    m_grid = new QTableWidget(0, kColumns, page);
    m_grid->setObjectName(QStringLiteral("schedule_DrawGrid"));
    m_grid->setAccessibleName(QStringLiteral("Scheduled events"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_grid->setItemDelegate(new TEventGridDelegate(m_grid));
    m_grid->setFixedWidth(kColumns * kColumnWidth + m_grid->verticalScrollBar()->sizeHint().width()
                          + 2 * m_grid->frameWidth());
    // Whole rows are selected by a click; the headers and their corner
    // button stay hidden.
    m_grid->setCornerButtonEnabled(false);
    for (QAbstractButton* corner : m_grid->findChildren<QAbstractButton*>())
        corner->setAccessibleName(QStringLiteral("Select all events"));
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeRowButtons(); });
    m_rowButtonLayer = new QWidget(page);
    m_rowButtonLayer->setObjectName(QStringLiteral("event_buttons_Panel"));
    m_rowButtonLayer->setAccessibleName(QStringLiteral("Event buttons"));
    m_rowButtonLayer->installEventFilter(this);
    m_rowButtonLayer->hide();
    for (int i = 0; i < kScheduleSlots; ++i) {
        auto* button = new QToolButton(m_rowButtonLayer);
        button->setObjectName(QStringLiteral("evtBtn%1").arg(i));
        button->setProperty("Tag", i);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::PointingHandCursor);
        button->setIconSize(QSize(kSmallPicture, kSmallPicture));
        button->setFixedSize(kSmallPicture + 3, kSmallPicture + 5);
        button->setAccessibleName(QStringLiteral("Edit event"));
        button->hide();
        connect(button, &QToolButton::clicked, this, &Tscheduled_events_form::evt_ButtonClick);
        m_rowButtons[std::size_t(i)] = button;
    }

    m_noEvents = new QLabel(QStringLiteral("No Events Scheduled"), page);
    m_noEvents->setObjectName(QStringLiteral("no_events_Label"));
    m_noEvents->setAlignment(Qt::AlignCenter);
    QFont noEventsFont = m_noEvents->font();
    noEventsFont.setPointSize(14);
    m_noEvents->setFont(noEventsFont);

    auto* ok = textButton("event_list_ok_Button", QStringLiteral("OK"), page);
    auto* cancel = textButton("close_Button", QStringLiteral("Cancel"), page);
    connect(ok, &QPushButton::clicked, this, &Tscheduled_events_form::event_list_ok_ButtonClick);
    connect(cancel, &QPushButton::clicked, this, &Tscheduled_events_form::close_ButtonClick);

    auto* tools = new QHBoxLayout;
    tools->addStretch(1);
    tools->addWidget(m_copy);
    tools->addWidget(m_deleteToggle);
    tools->addWidget(m_add);
    auto* middle = new QGridLayout;
    middle->addWidget(m_noEvents, 0, 0);
    middle->addWidget(m_grid, 0, 0, Qt::AlignHCenter);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(tools);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    return page;
}

QWidget* Tscheduled_events_form::buildEditPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("event_edit_TabSheet"));
    m_time = new TEventTimeEdit(page);
    m_settings = new Tfc_ctrl_Frame(page);
    auto* accept = textButton("event_accept_Button", QStringLiteral("Accept"), page);
    auto* cancel = textButton("event_cancel_Button", QStringLiteral("Cancel"), page);
    // Enter in a time field accepts: the field's text is taken as it shows.
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &Tscheduled_events_form::event_accept_ButtonClick);
    connect(cancel, &QPushButton::clicked, this, &Tscheduled_events_form::event_cancel_ButtonClick);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(accept);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(m_time);
    layout->addSpacing(12);
    layout->addWidget(m_settings, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    layout->addLayout(bottom);
    return page;
}

void Tscheduled_events_form::prepare(Tschedule_timeline_Frame* frame, const QList<Tschedule_timeline_Frame*>& frames)
{
    pSTL_frame_list = frames;
    pSTL_frame = frame;
    dow_Label->setText(frame ? Tschedule_timeline_Frame::longDayName(frame->day_index) : QString());
    init();
}

void Tscheduled_events_form::init()
{
    delete_state_set(false);
    schedule_day = pSTL_frame && pSTL_frame->pSchedule ? *pSTL_frame->pSchedule : TSchedule_Day{};
    rebuildList();
    m_pages->setCurrentWidget(m_listPage);
}

void Tscheduled_events_form::rebuildList()
{
    SE_event_list = scheduleEventList(schedule_day);
    const bool any = !SE_event_list.empty();
    m_grid->setVisible(any);
    m_noEvents->setVisible(!any);
    for (QToolButton* button : m_rowButtons)
        button->hide();
    m_deleteToggle->setVisible(any);
    m_add->setVisible(SE_event_list.size() < std::size_t(kScheduleSlots));
    fillGrid();
    placeRowButtons();
}

void Tscheduled_events_form::fillGrid()
{
    m_grid->setRowCount(int(SE_event_list.size()));
    for (int row = 0; row < m_grid->rowCount(); ++row) {
        const TSchedule_Event& e = *SE_event_list[std::size_t(row)].event;
        m_grid->setItem(row, 0, new QTableWidgetItem(eventTime(e.minute_of_day)));
        const int codes[kEventSettings]
            = {e.run, e.mode, int(std::min<uint32_t>(e.setpoint, 100000)), e.fanspeed, e.airdir};
        for (int s = 0; s < kEventSettings; ++s) {
            const bool shown = (e.settings_enable[s] & 1) != 0;
            auto* item = new QTableWidgetItem(shown ? EventOptions::valueText(TEventSetting(s), codes[s]) : QString());
            item->setData(TEventGridDelegate::kShownRole, shown);
            item->setData(TEventGridDelegate::kCodeRole, codes[s]);
            m_grid->setItem(row, s + 1, item);
        }
        m_grid->setItem(row, kButtonColumn, new QTableWidgetItem(QString()));
    }
    m_grid->viewport()->update();
}

void Tscheduled_events_form::placeRowButtons()
{
    const QRect visible = m_grid->viewport()->rect();
    // The layer lies exactly over the viewport, so the buttons keep the
    // viewport's coordinates and are clipped at its edges as before.
    m_rowButtonLayer->setGeometry(
        QRect(m_grid->viewport()->mapTo(m_rowButtonLayer->parentWidget(), QPoint(0, 0)), visible.size()));
    QRegion shown;
    for (int i = 0; i < kScheduleSlots; ++i) {
        QToolButton* button = m_rowButtons[std::size_t(i)];
        if (i >= m_grid->rowCount() || m_grid->isHidden()) {
            button->hide();
            continue;
        }
        const QRect cell = m_grid->visualRect(m_grid->model()->index(i, kButtonColumn));
        const QRect shrunk = cell.adjusted(0, 10, 0, -10);
        button->move(cell.right() + 1 - button->width(), shrunk.top() + (shrunk.height() - button->height()) / 2);
        button->setAccessibleName((delete_state ? QStringLiteral("Delete event at ") : QStringLiteral("Edit event at "))
                                  + rowTime(i));
        button->setToolTip(button->accessibleName());
        button->setVisible(cell.intersects(visible));
        if (button->isVisibleTo(m_rowButtonLayer))
            shown += button->geometry();
    }
    // Clicks and the wheel between the buttons reach the grid beneath.
    if (shown.isEmpty() || m_grid->isHidden()) {
        m_rowButtonLayer->hide();
    } else {
        m_rowButtonLayer->setMask(shown);
        m_rowButtonLayer->show();
        m_rowButtonLayer->raise();
    }
}

QString Tscheduled_events_form::rowTime(int row) const
{
    return eventTime(SE_event_list[std::size_t(row)].event->minute_of_day);
}

void Tscheduled_events_form::showButtonPictures()
{
    m_deleteToggle->setIcon(buttonIcon(delete_state ? kDeletePicture : kDeleteOffPicture, kLargePicture));
    m_deleteToggle->setChecked(delete_state);
    const QIcon rowIcon = buttonIcon(delete_state ? kDeletePicture : kEditPicture, kSmallPicture);
    for (QToolButton* button : m_rowButtons)
        button->setIcon(rowIcon);
}

void Tscheduled_events_form::delete_state_set(bool state)
{
    delete_state = state;
    showButtonPictures();
    placeRowButtons();
    m_grid->viewport()->update();
}

void Tscheduled_events_form::event_select(int row)
{
    if (row < 0 || row >= int(SE_event_list.size()))
        return;
    m_grid->setCurrentCell(row, 0);
    selected_evt = row;
    if (delete_state) {
        schedule_day.daily_event[SE_event_list[std::size_t(row)].slot].in_use = 0;
        rebuildList();
        return;
    }
    loadEditPage(*SE_event_list[std::size_t(row)].event);
    new_event = false;
}

void Tscheduled_events_form::loadEditPage(const TSchedule_Event& event)
{
    m_settings->displayEvent(event);
    m_time->setMinuteOfDay(event.minute_of_day);
    m_pages->setCurrentWidget(m_editPage);
}

void Tscheduled_events_form::add_ButtonClick()
{
    const int slot = lowestFreeSlot(schedule_day);
    if (slot == kNoFreeSlot)
        return;
    new_event = true;
    selected_evt = slot;
    setNewEventValues(schedule_day.daily_event[slot]);
    loadEditPage(schedule_day.daily_event[slot]);
    delete_state_set(false);
}

void Tscheduled_events_form::del_toggle_ButtonClick()
{
    delete_state_set(!delete_state);
}

void Tscheduled_events_form::evt_ButtonClick()
{
    if (sender())
        event_select(sender()->property("Tag").toInt());
}

void Tscheduled_events_form::event_accept_ButtonClick()
{
    int slot = selected_evt;
    if (!new_event) {
        if (selected_evt < 0 || selected_evt >= int(SE_event_list.size()))
            return;
        slot = SE_event_list[std::size_t(selected_evt)].slot;
    }
    m_time->commitFields();
    TSchedule_Event& e = schedule_day.daily_event[slot];
    e.in_use = 1;
    e.minute_of_day = uint16_t(m_time->minuteOfDay());
    m_settings->readEvent(e);
    rebuildList();
    m_pages->setCurrentWidget(m_listPage);
    delete_state_set(false);
}

void Tscheduled_events_form::event_cancel_ButtonClick()
{
    delete_state_set(false);
    m_pages->setCurrentWidget(m_listPage);
}

void Tscheduled_events_form::event_list_ok_ButtonClick()
{
    if (pSTL_frame && pSTL_frame->pSchedule)
        emit dayAccepted(pSTL_frame->day_index, schedule_day);
    accept();
}

void Tscheduled_events_form::close_ButtonClick()
{
    reject();
}

void Tscheduled_events_form::copy_ButtonClick()
{
    if (!pSTL_frame)
        return;
    m_copyForm->Init(pSTL_frame->day_index);
    m_copyForm->open();
}

void Tscheduled_events_form::copyFormFinished(int result)
{
    if (result != QDialog::Accepted)
        return;
    QList<int> copied;
    for (Tschedule_timeline_Frame* frame : pSTL_frame_list) {
        if (!frame || !frame->pSchedule || frame == pSTL_frame || !m_copyForm->dayChosen(frame->day_index))
            continue;
        copied << frame->day_index;
    }
    if (!copied.isEmpty())
        emit daysCopied(copied, schedule_day);
}

bool Tscheduled_events_form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                event_select(m_grid->currentRow());
                return true;
            }
        } else if (event->type() == QEvent::FocusIn && m_grid->currentRow() >= 0) {
            m_grid->selectRow(m_grid->currentRow());
        } else if (event->type() == QEvent::FocusOut) {
            m_grid->clearSelection();
        }
    } else if (watched == m_grid->viewport() && event->type() == QEvent::Resize) {
        placeRowButtons();
    } else if (watched == m_rowButtonLayer && event->type() == QEvent::Wheel) {
        // The wheel over a button scrolls the grid, as it did over the cell.
        QApplication::sendEvent(m_grid->viewport(), event);
        return true;
    }
    if (watched == m_grid
        && (event->type() == QEvent::Move || event->type() == QEvent::Show || event->type() == QEvent::Hide))
        placeRowButtons();
    return QDialog::eventFilter(watched, event);
}
