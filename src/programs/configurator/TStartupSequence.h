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
    void Run();

    Tbmpgen_Form* Main_Window() const { return mainWindow.get(); }
    // Milliseconds from launch until the main window was enabled.
    qint64 Ready_Ms() const { return readyMs; }
    // Of that, the time spent in the responsive pauses between the steps.
    qint64 Paused_Ms() const { return pausedMs; }
    // The rest, step by step ("window 61 ..."), to show where start-up work goes.
    QString Work_Split() const;

private:
    void Pause(int ms);
    // Ends a step of work: the time since the last mark, pauses not counted.
    void Mark(const char* step);

    const QElapsedTimer& clock;
    std::unique_ptr<QDialog> gallery;
    std::unique_ptr<TDM_imagestore> imageStore;
    std::unique_ptr<Tbmpgen_Form> mainWindow;
    qint64 readyMs = -1;
    qint64 pausedMs = 0;
    qint64 markedAt = 0;
    std::vector<std::pair<const char*, qint64>> steps;
};
