#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QProgressBar;

// Start-up window: borderless, on top, centred on the screen; the splash
// picture with its own transparency, the product name, the program version
// and a progress bar advanced once per start-up stage.
class Tsplash_Form : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStages = 4;

    explicit Tsplash_Form(QWidget* parent = nullptr);

    void Step();
    QProgressBar* progressBar() const { return progress_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage splash_;
    QLabel* product_;
    QLabel* version_;
    QProgressBar* progress_;
};
