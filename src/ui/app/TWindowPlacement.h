#pragma once
// Where the main window was: its size, position and the split between the
// project area and the activity log, kept between runs. The first start
// (or a saved place on a screen that is gone) gets a window that fits the
// screen it opens on.

#include <QObject>
#include <QRect>

#include <memory>

class QMainWindow;
class QSettings;
class QSplitter;

class TWindowPlacement : public QObject {
    Q_OBJECT
public:
    // settings: where the placement is kept; the window saves it there when
    // it closes. Both widgets must outlive this object, which the window owns.
    TWindowPlacement(QMainWindow* window, QSplitter* splitter, std::unique_ptr<QSettings> settings);
    ~TWindowPlacement() override;

    // Before the window is shown: the saved place, else a fitting one.
    void restore();
    void save();

    // A window of the wanted size shrunk to fit the available area, with a
    // margin for the window's frame, and centred on it.
    static QRect fittingGeometry(QSize wanted, QRect available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMainWindow* m_window;
    QSplitter* m_splitter;
    std::unique_ptr<QSettings> m_settings;
};
