#pragma once
// What the upper area shows while no project is open: a faint picture of the
// controller behind the bold caption "No Project Loaded".

#include <QImage>
#include <QWidget>

class TNoProjectView : public QWidget {
    Q_OBJECT
public:
    explicit TNoProjectView(QWidget* parent = nullptr);

    static QString caption() { return QStringLiteral("No Project Loaded"); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_controller;
};
