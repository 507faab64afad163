#pragma once
// The virtual controller started by "--demo": corvane-rc-sim next to the
// configurator, run as a child process for as long as the configurator runs.

#include <QProcess>
#include <QString>

#include <functional>

class TDemoSimulator {
public:
    TDemoSimulator() = default;
    ~TDemoSimulator();
    TDemoSimulator(const TDemoSimulator&) = delete;
    TDemoSimulator& operator=(const TDemoSimulator&) = delete;

    // Starts the simulator found in programDir and waits for its first line,
    // "PORT <path>". False (with Error_Text set) when it is missing, does not
    // start or does not name its port in time.
    bool Start(const QString& programDir, int timeoutMs = 5000);
    void Stop();
    // Called when the simulator ends by itself (killed, crashed), not when
    // Stop() ends it.
    void On_Ended(std::function<void()> ended);

    QString Port() const { return port; }
    QString Error_Text() const { return error; }

    static QString Program_Name() { return QStringLiteral("corvane-rc-sim"); }

private:
    QProcess process;
    QString port;
    QString error;
};
