#pragma once
// The panel shown while the ports are searched for a controller: its label
// and a progress bar over the ports.

#include <QFrame>

class QLabel;
class QProgressBar;

class TDeviceScanPanel : public QFrame {
    Q_OBJECT
public:
    explicit TDeviceScanPanel(QWidget* parent = nullptr);

    QLabel* device_scan_Label() const { return m_label; }
    QProgressBar* device_scan_ProgressBar() const { return m_bar; }

    void setProgress(int position, int maximum);

private:
    QLabel* m_label;
    QProgressBar* m_bar;
};
