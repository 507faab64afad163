#pragma once
// A spinner of two arrow buttons beside a text field. Before it moves it
// asks its owner (changing) whether the new position is allowed, so a field
// can refuse a value outside its range and show the one it accepts.

#include <QWidget>

#include <functional>

class QToolButton;

class TUpDown : public QWidget {
    Q_OBJECT
public:
    // changing(newValue) returns true to let the spinner move there.
    using TChangingFn = std::function<bool(int newValue)>;

    TUpDown(int minimum, int maximum, QWidget* parent = nullptr);

    int position() const { return m_position; }
    // Sets the position without asking.
    void setPosition(int value);
    // Asks to move by delta (the arrows: +1 and -1).
    void step(int delta);
    void setChanging(TChangingFn fn) { m_changing = std::move(fn); }
    // Name read out for the arrows: "Increase <what>", "Decrease <what>".
    void setWhat(const QString& what);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

private:
    int m_minimum;
    int m_maximum;
    int m_position = 0;
    TChangingFn m_changing;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
};
