#pragma once
// The program's start-up, in its fixed order: splash, gallery, built-in
// pictures, the main window (disabled) and the secondary windows, the image
// selection window, then the splash goes and the main window is enabled.
// Owns every window it creates for the life of the program.

#include <QElapsedTimer>

#include <QString>
#include <memory>
#include <utility>
#include <vector>

class QDialog;
class TDM_imagestore;
class Tbmpgen_Form;

class TStartupSequence {
public:
    explicit TStartupSequence(const QElapsedTimer& sinceLaunch);
    ~TStartupSequence();

    // Runs every step up to the enabled main window.
    void run();

    Tbmpgen_Form* mainWindow() const { return m_mainWindow.get(); }
    // Milliseconds from launch until the main window was enabled.
    qint64 readyMs() const { return m_readyMs; }
    // Of that, the time spent in the responsive pauses between the steps.
    qint64 pausedMs() const { return m_pausedMs; }
    // The rest, step by step ("window 61 ..."), to show where start-up work goes.
    QString workSplit() const;

private:
    void pause(int ms);
    // Ends a step of work: the time since the last mark, pauses not counted.
    void Mark(const char* step);

    const QElapsedTimer& m_clock;
    std::unique_ptr<QDialog> m_gallery;
    std::unique_ptr<TDM_imagestore> m_imageStore;
    std::unique_ptr<Tbmpgen_Form> m_mainWindow;
    qint64 m_readyMs = -1;
    qint64 m_pausedMs = 0;
    qint64 m_markedAt = 0;
    std::vector<std::pair<const char*, qint64>> m_steps;
};
