#pragma once
// The firmware upgrade window: the connected controller's model and
// firmware, the firmware this program carries, the version histories, and
// the buttons that start, abort or end the upgrade. Created once at
// start-up; shown (window-modal, without blocking) for each upgrade.

#include <QDialog>

class QHeaderView;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class TDeviceOperations;
class TControllerLink;

class Tfw_upg_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tfw_upg_Form(QWidget* parent = nullptr);

    // The operations the buttons drive and the link whose controller it shows.
    void setOperations(TDeviceOperations* operations, TControllerLink* link);

    // Fills the labels for the connected controller and shows the window.
    void showForController();
    // A transfer ended while the window is showing: "Upgrade" may be pressed again.
    void transferEnded();

    bool upgrade_in_progress = false;

    QTabWidget* PageControl1() const { return m_pages; }
    QLabel* model_info_Label() const { return m_modelInfo; }
    QLabel* rc_fwver_Label() const { return m_rcFwVer; }
    QLabel* available_fwver_Label() const { return m_availableFwVer; }
    QLabel* wrong_software_Label() const { return m_wrongSoftware; }
    // Says that the upgrade finished and which version the controller runs now.
    QLabel* finishedLabel() const { return m_finished; }
    QProgressBar* upgrade_ProgressBar() const { return m_progress; }
    QPushButton* upgrade_Button() const { return m_upgrade; }
    QPushButton* cancel_Button() const { return m_cancel; }
    QPlainTextEdit* historyMemo(int model) const { return model == 0 ? m_memo1 : m_memo2; }
    QHeaderView* headerControl(int model) const { return model == 0 ? m_header1 : m_header2; }

    // Tab stops of the history memos, in dialog units, by screen dots per inch.
    static QList<int> historyTabStops(int dpi);
    // The question before sending the firmware the controller already runs.
    static QString sameVersionQuestion(const QString& version);

public slots:
    void upgrade_ButtonClick();
    void cancel_ButtonClick();

protected:
    // Only "Cancel" closes the window: Escape and the window manager go there too.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool sameVersionConfirmed() const;
    void showFinished(bool shown);
    QWidget* makeHistoryPage(const char* name, const QString& resource, QHeaderView*& header, QPlainTextEdit*& memo);

    TDeviceOperations* m_ops = nullptr;
    TControllerLink* m_link = nullptr;
    bool m_closing = false;
    QTabWidget* m_pages;
    QWidget* m_upgradePage;
    void showHistoryTab(QWidget* page, const QString& caption, int position, bool shown);
    QWidget* m_history5813;
    QWidget* m_history5827;
    QLabel* m_modelInfo;
    QLabel* m_rcFwVer;
    QLabel* m_availableFwVer;
    QLabel* m_wrongSoftware;
    QLabel* m_finished;
    QProgressBar* m_progress;
    QPushButton* m_upgrade;
    QPushButton* m_cancel;
    QHeaderView* m_header1 = nullptr;
    QHeaderView* m_header2 = nullptr;
    QPlainTextEdit* m_memo1 = nullptr;
    QPlainTextEdit* m_memo2 = nullptr;
};
