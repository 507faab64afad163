#pragma once
// "One controller after another on PORT": the adapter stays in the laptop
// and the installer moves its cable from controller to controller. Each
// controller that answers is commissioned (TCommissioningWatch); its result
// is shown large (a green tick with its number and time, or a red cross with
// the reason), sounded and announced to screen readers; then the panel waits
// for the cable to be pulled, and for the next controller. The running count
// stays in view.

#include "core/commissioning/CommissioningPlan.h"
#include "core/commissioning/TCommissioningRunner.h"

#include <QGroupBox>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TCommissioningWatch;

class TCommissionWatchPanel : public QGroupBox {
    Q_OBJECT
public:
    // What is sent and how, handed to done (error empty when the watch may
    // start), perhaps once the event loop has run.
    using TPrepared = std::function<void(const QString& error, const TCommissioningPlan& plan,
                                         const TCommissioningOptions& options)>;
    using TPrepare = std::function<void(TPrepared done)>;

    explicit TCommissionWatchPanel(TPrepare prepare, QWidget* parent = nullptr);
    ~TCommissionWatchPanel() override;

    bool isWatching() const { return bool(m_watch); }
    // The controller of the watch now (0 before the first), and whether it is
    // being commissioned.
    int controllerIndex() const;
    bool isCommissioning() const;
    // Offered while no run of the table goes on.
    void setAvailable(bool available);
    // Ends the watch and waits (the window kept alive) until the controller
    // under way, if any, is on record; at most timeoutMs.
    void stopAndWait(int timeoutMs);

    QLineEdit* portEdit() const { return m_port; }
    QPushButton* watchButton() const { return m_button; }
    QLabel* resultLabel() const { return m_result; }
    QLabel* stateLabel() const { return m_state; }
    QLabel* countLabel() const { return m_count; }

signals:
    void watchingChanged(bool watching);
    // The watch's state was shown anew.
    void stateShown();

private:
    void toggle();
    void begin(const QString& port, const TCommissioningPlan& plan, const TCommissioningOptions& options);
    void showState();
    void showResult(const TCommissioningRecord& record);
    void ended();

    TPrepare m_prepare;
    std::unique_ptr<TCommissioningWatch> m_watch;
    QLineEdit* m_port = nullptr;
    QPushButton* m_button = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_count = nullptr;
    int m_ok = 0;
    int m_failed = 0;
    bool m_available = true;
};
