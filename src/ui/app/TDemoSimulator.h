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
    // "PORT <path>". False (with errorText set) when it is missing, does not
    // start or does not name its port in time.
    bool start(const QString& programDir, int timeoutMs = 5000);
    void stop();
    // Called when the simulator ends by itself (killed, crashed), not when
    // Stop() ends it.
    void onEnded(std::function<void()> ended);

    QString port() const { return m_port; }
    QString errorText() const { return m_error; }

    static QString programName() { return QStringLiteral("corvane-rc-sim"); }

private:
    QProcess m_process;
    QString m_port;
    QString m_error;
};
