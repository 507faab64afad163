#include "ui/scheduler/TEventTimeEdit.h"

#include "ui/scheduler/TUpDown.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {
constexpr int kLastHour = 23;
constexpr int kLastMinute = 59;

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QLineEdit* makeField(const QString& objectName, const QString& accessibleName, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setAccessibleName(accessibleName);
    field->setMaxLength(2);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), field));
    field->setAlignment(Qt::AlignCenter);
    QFont font = field->font();
    font.setPointSize(28);
    font.setBold(true);
    field->setFont(font);
    field->setFixedWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("88")) + 24);
    return field;
}
} // namespace

TEventTimeEdit::TEventTimeEdit(QWidget* parent) : QWidget(parent)
{
    m_hour = makeField(QStringLiteral("hour_Edit"), QStringLiteral("Hour"), this);
    m_minute = makeField(QStringLiteral("min_Edit"), QStringLiteral("Minute"), this);
    m_hourSpinner = new TUpDown(0, kLastHour, this);
    m_hourSpinner->setObjectName(QStringLiteral("hr_UpDown"));
    m_hourSpinner->setWhat(QStringLiteral("hour"));
    m_hourSpinner->setChanging([this](int v) { return hr_UpDownChangingEx(v); });
    m_minuteSpinner = new TUpDown(0, kLastMinute, this);
    m_minuteSpinner->setObjectName(QStringLiteral("mn_UpDown"));
    m_minuteSpinner->setWhat(QStringLiteral("minute"));
    m_minuteSpinner->setChanging([this](int v) { return mn_UpDownChangingEx(v); });
    m_hour->installEventFilter(this);
    m_minute->installEventFilter(this);

    auto* colon = new QLabel(QStringLiteral(":"), this);
    colon->setFont(m_hour->font());
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(m_hourSpinner);
    layout->addWidget(m_hour);
    layout->addWidget(colon);
    layout->addWidget(m_minute);
    layout->addWidget(m_minuteSpinner);
    layout->addStretch(1);
    setMinuteOfDay(0);
}

void TEventTimeEdit::setMinuteOfDay(int minute)
{
    m_hourSpinner->setPosition(minute / 60);
    m_minuteSpinner->setPosition(minute % 60);
    m_hour->setText(twoDigits(m_hourSpinner->position()));
    m_minute->setText(twoDigits(m_minuteSpinner->position()));
}

int TEventTimeEdit::minuteOfDay() const
{
    return m_hourSpinner->position() * 60 + m_minuteSpinner->position();
}

void TEventTimeEdit::commitFields()
{
    hour_EditExit();
    min_EditExit();
}

bool TEventTimeEdit::spinnerChanging(QLineEdit* field, int newValue, int top)
{
    const bool allowed = newValue >= 0 && newValue <= top;
    if (allowed)
        field->setText(twoDigits(newValue));
    if (field->isVisible()) {
        field->setFocus();
        field->selectAll();
    }
    return allowed;
}

bool TEventTimeEdit::hr_UpDownChangingEx(int newValue)
{
    return spinnerChanging(m_hour, newValue, kLastHour);
}

bool TEventTimeEdit::mn_UpDownChangingEx(int newValue)
{
    return spinnerChanging(m_minute, newValue, kLastMinute);
}

void TEventTimeEdit::fieldExit(QLineEdit* field, TUpDown* spinner, int top)
{
    bool ok = false;
    int value = field->text().toInt(&ok);
    if (!ok)
        value = 0;
    value = std::clamp(value, 0, top);
    field->setText(twoDigits(value));
    spinner->setPosition(value);
}

void TEventTimeEdit::hour_EditExit()
{
    fieldExit(m_hour, m_hourSpinner, kLastHour);
}

void TEventTimeEdit::min_EditExit()
{
    fieldExit(m_minute, m_minuteSpinner, kLastMinute);
}

bool TEventTimeEdit::fieldKeyDown(QLineEdit* field, TUpDown* spinner, int key)
{
    if (key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    // The spinner moves from what the field shows, not from a stale position.
    fieldExit(field, spinner, field == m_hour ? kLastHour : kLastMinute);
    spinner->step(key == Qt::Key_Up ? +1 : -1);
    field->selectAll();
    return true;
}

bool TEventTimeEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_hour || watched == m_minute) {
        auto* field = static_cast<QLineEdit*>(watched);
        TUpDown* spinner = field == m_hour ? m_hourSpinner : m_minuteSpinner;
        if (event->type() == QEvent::KeyPress && fieldKeyDown(field, spinner, static_cast<QKeyEvent*>(event)->key()))
            return true;
        if (event->type() == QEvent::FocusOut)
            field == m_hour ? hour_EditExit() : min_EditExit();
    }
    return QWidget::eventFilter(watched, event);
}
