#pragma once
// An up-down pair of arrow buttons that asks before it moves: each press
// requests position ± step, and the request is granted or refused by the
// page's rule (changingEx). A refused request changes nothing. The arrow
// keys do the same in the read-only edit the control is attached to.
// Setting the position from a record does not ask; the position is kept
// inside the control's range, as the edit beside it may show a value that is
// not.

#include <QWidget>

#include <functional>

class QLineEdit;
class QToolButton;

class TLimitUpDown : public QWidget {
    Q_OBJECT
public:
    TLimitUpDown(int minimum, int maximum, int step, QWidget* parent = nullptr);

    int position() const { return m_position; }
    void setPosition(int value);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // Returns whether the move to the new value is granted.
    std::function<bool(int newValue)> changingEx;

    // Up/Down in the edit step the control.
    void attachTo(QLineEdit* edit);
    void setAccessibleCaption(const QString& caption);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

    // One press: returns whether the control moved.
    bool stepBy(int steps);

signals:
    void moved(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_minimum;
    int m_maximum;
    int m_step;
    int m_position;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
