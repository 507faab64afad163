#pragma once
// Pillow's Floyd-Steinberg on a picture, kept running in a python3 process
// so that its timings can alternate with ours in one run: both then see the
// same load on the machine, and their ratio holds still when the absolute
// figures do not.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

class PillowReference {
public:
    ~PillowReference();

    // Starts the helper on the picture; false (with the reason in error())
    // when python3 or Pillow is not there.
    bool start(const QImage& picture);
    QString error() const { return m_error; }

    // Mean time of one Pillow conversion over count conversions timed now;
    // negative when the helper has gone.
    double msPerImage(int count);

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_error;
};
