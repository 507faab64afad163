#pragma once
// A pseudo-terminal whose slave side plays the serial port. The master side
// is raw; the slave starts raw too, so nothing is echoed or translated
// before a client sets it up. A descriptor of the slave is held open so the
// terminal survives clients opening and closing it.

#include <QByteArray>
#include <QString>

#include <cstdint>

class SimPty {
public:
    SimPty() = default;
    ~SimPty() { close(); }
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    bool open(QString* error = nullptr);
    void close();
    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    bool writeAll(const QByteArray& bytes);
    bool writeAll(const uint8_t* data, std::size_t n);
    // Reads what arrives within timeoutMs of the last byte (at least the first wait).
    QByteArray read(int timeoutMs);

    // A symlink to the slave (replacing an existing link, never a file).
    bool makeLink(const QString& linkPath, QString* error = nullptr);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
