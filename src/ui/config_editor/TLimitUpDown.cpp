#include "ui/config_editor/TLimitUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TLimitUpDown::TLimitUpDown(int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_step(step)
    , m_position(minimum)
{
    auto makeButton = [this](Qt::ArrowType arrow) {
        auto* button = new QToolButton(this);
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFixedSize(22, 14);
        return button;
    };
    m_up = makeButton(Qt::UpArrow);
    m_down = makeButton(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TLimitUpDown::setPosition(int value)
{
    m_position = qBound(m_minimum, value, m_maximum);
}

bool TLimitUpDown::stepBy(int steps)
{
    const int requested = m_position + steps * m_step;
    if (requested < m_minimum || requested > m_maximum)
        return false;
    if (changingEx && !changingEx(requested))
        return false;
    m_position = requested;
    emit moved(m_position);
    return true;
}

void TLimitUpDown::attachTo(QLineEdit* edit)
{
    edit->installEventFilter(this);
}

void TLimitUpDown::setAccessibleCaption(const QString& caption)
{
    setAccessibleName(caption);
    m_up->setAccessibleName(QStringLiteral("Raise ") + caption);
    m_down->setAccessibleName(QStringLiteral("Lower ") + caption);
    m_up->setToolTip(m_up->accessibleName());
    m_down->setToolTip(m_down->accessibleName());
}

bool TLimitUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
