#pragma once
// How corvane-rc-sim tells whoever started it that its terminal can be
// opened: a script that connects the moment the simulator was started would
// otherwise race it and find no port.

#include <QString>

class SimReadiness {
public:
    // --daemon: forks before anything else runs. In the caller's process it
    // waits for the simulator to be ready, prints its PORT line and its
    // process id, and returns the exit status to end with (the simulator's
    // own status when it failed before it was ready). In the simulator's
    // process it returns -1: go on, in a session of its own, with standard
    // input and output on /dev/null (so "$(corvane-rc-sim --daemon)" ends).
    static int daemonize(SimReadiness& readiness);

    explicit SimReadiness(int fd = -1) : m_fd(fd) { }
    // Writes "PORT <path>" to the ready descriptor, if any, and closes it.
    void ready(const QString& portName);

private:
    int m_fd = -1;
};
