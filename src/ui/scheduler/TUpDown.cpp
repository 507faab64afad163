#include "ui/scheduler/TUpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TUpDown::TUpDown(int minimum, int maximum, QWidget* parent) : QWidget(parent), m_minimum(minimum), m_maximum(maximum)
{
    m_position = minimum;
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(24);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
}

void TUpDown::setPosition(int value)
{
    m_position = std::clamp(value, m_minimum, m_maximum);
}

void TUpDown::step(int delta)
{
    const int wanted = m_position + delta;
    if (!m_changing || m_changing(wanted))
        m_position = std::clamp(wanted, m_minimum, m_maximum);
}

void TUpDown::setWhat(const QString& what)
{
    m_up->setAccessibleName(QStringLiteral("Increase ") + what);
    m_up->setToolTip(m_up->accessibleName());
    m_down->setAccessibleName(QStringLiteral("Decrease ") + what);
    m_down->setToolTip(m_down->accessibleName());
}
