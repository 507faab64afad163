#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QProgressBar;

// Start-up window: borderless, on top, centred on the screen; the splash
// picture with its own transparency, the product name, the program version
// and a progress bar advanced once per start-up stage.
class TsplashForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStages = 4;

    explicit TsplashForm(QWidget* parent = nullptr);

    void advance();
    QProgressBar* progressBar() const { return m_progress; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_splash;
    QLabel* m_product;
    QLabel* m_version;
    QProgressBar* m_progress;
};
