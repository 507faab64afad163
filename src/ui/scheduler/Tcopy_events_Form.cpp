#include "ui/scheduler/Tcopy_events_Form.h"

#include "ui/scheduler/Tschedule_timeline_Frame.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

Tcopy_events_Form::Tcopy_events_Form(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("copy_events_Form"));
    setWindowTitle(QStringLiteral(" Copy Scheduled Event List..."));

    auto* days = new QVBoxLayout;
    for (int day = 1; day <= 7; ++day) {
        auto* button = new QPushButton(Tschedule_timeline_Frame::longDayName(day), this);
        button->setObjectName(QStringLiteral("dow_SpeedButton%1").arg(day));
        button->setCheckable(true);
        button->setProperty("Tag", day);
        button->setMinimumWidth(140);
        connect(button, &QPushButton::clicked, this, &Tcopy_events_Form::SpeedButtonClick);
        m_dayButton[std::size_t(day - 1)] = button;
        days->addWidget(button);
    }

    auto* arrow = new QLabel(QStringLiteral("\u2190"), this);
    arrow->setObjectName(QStringLiteral("arrow_Label"));
    QFont arrowFont = arrow->font();
    arrowFont.setPointSize(28);
    arrow->setFont(arrowFont);
    arrow->setAccessibleName(QStringLiteral("copied from"));
    dow_Label = new QLabel(this);
    dow_Label->setObjectName(QStringLiteral("dow_Label"));
    QFont dayFont = dow_Label->font();
    dayFont.setPointSize(14);
    dayFont.setBold(true);
    dow_Label->setFont(dayFont);

    ok_Button = new QPushButton(QStringLiteral("OK"), this);
    ok_Button->setObjectName(QStringLiteral("ok_Button"));
    cancel_Button = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_Button->setObjectName(QStringLiteral("cancel_Button"));
    connect(ok_Button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_Button, &QPushButton::clicked, this, &QDialog::reject);

    auto* source = new QHBoxLayout;
    source->addWidget(arrow);
    source->addWidget(dow_Label);
    source->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_Button);
    buttons->addWidget(cancel_Button);
    auto* right = new QVBoxLayout;
    right->addStretch(1);
    right->addLayout(source);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(days);
    layout->addLayout(right, 1);
}

void Tcopy_events_Form::Init(int day_idx)
{
    for (int day = 1; day <= 7; ++day) {
        QPushButton* button = m_dayButton[std::size_t(day - 1)];
        button->setChecked(false);
        button->setEnabled(day != day_idx);
        m_dayFlag[std::size_t(day - 1)] = false;
    }
    ok_Button->setEnabled(false);
    dow_Label->setText(Tschedule_timeline_Frame::longDayName(day_idx));
}

void Tcopy_events_Form::SpeedButtonClick()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    const std::size_t i = std::size_t(button->property("Tag").toInt() - 1);
    m_dayFlag[i] = !m_dayFlag[i];
    button->setChecked(m_dayFlag[i]);
    ok_Button->setEnabled(std::find(m_dayFlag.begin(), m_dayFlag.end(), true) != m_dayFlag.end());
}
