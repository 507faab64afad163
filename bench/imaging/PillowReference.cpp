#include "PillowReference.h"

#include <QFile>

PillowReference::~PillowReference()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
}

bool PillowReference::start(const QImage& picture)
{
    const QString png = m_dir.filePath(QStringLiteral("picture.png"));
    if (!picture.convertToFormat(QImage::Format_RGB888).save(png, "PNG")) {
        m_error = QStringLiteral("cannot write %1").arg(png);
        return false;
    }
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                             : QStringLiteral("python3");
    m_process.start(python,
                    {QStringLiteral(CORVANE_BENCH_DIR "/pillow_fs_reference.py"), png, QStringLiteral("--serve")});
    // The first line says the picture is loaded and warmed up.
    while (!m_process.canReadLine() && m_process.waitForReadyRead(60000)) { }
    const QByteArray first = m_process.readLine().trimmed();
    if (first != "ready") {
        m_process.waitForFinished(5000);
        m_error = QString::fromLocal8Bit(first + m_process.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

double PillowReference::msPerImage(int count)
{
    m_process.write(QByteArray::number(count) + '\n');
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(60000))
            return -1.0;
    }
    const QList<QByteArray> words = m_process.readLine().trimmed().split(' ');
    bool ok = false;
    const double ms = words.value(1).toDouble(&ok);
    return ok ? ms : -1.0;
}
