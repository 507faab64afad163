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
    void Set_Operations(TDeviceOperations* operations, TControllerLink* link);

    // Fills the labels for the connected controller and shows the window.
    void Show_For_Controller();
    // A transfer ended while the window is showing: "Upgrade" may be pressed again.
    void Transfer_Ended();

    bool upgrade_in_progress = false;

    QTabWidget* PageControl1() const { return pages; }
    QLabel* model_info_Label() const { return modelInfo; }
    QLabel* rc_fwver_Label() const { return rcFwVer; }
    QLabel* available_fwver_Label() const { return availableFwVer; }
    QLabel* wrong_software_Label() const { return wrongSoftware; }
    // Says that the upgrade finished and which version the controller runs now.
    QLabel* finished_Label() const { return finished; }
    QProgressBar* upgrade_ProgressBar() const { return progress; }
    QPushButton* upgrade_Button() const { return upgrade; }
    QPushButton* cancel_Button() const { return cancel; }
    QPlainTextEdit* Memo(int model) const { return model == 0 ? memo1 : memo2; }
    QHeaderView* HeaderControl(int model) const { return model == 0 ? header1 : header2; }

    // Tab stops of the history memos, in dialog units, by screen dots per inch.
    static QList<int> History_Tab_Stops(int dpi);
    // The question before sending the firmware the controller already runs.
    static QString Same_Version_Question(const QString& version);

public slots:
    void upgrade_ButtonClick();
    void cancel_ButtonClick();

protected:
    // Only "Cancel" closes the window: Escape and the window manager go there too.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool Same_Version_Confirmed() const;
    void Show_Finished(bool shown);
    QWidget* makeHistoryPage(const char* name, const QString& resource, QHeaderView*& header, QPlainTextEdit*& memo);

    TDeviceOperations* m_ops = nullptr;
    TControllerLink* m_link = nullptr;
    bool m_closing = false;
    QTabWidget* pages;
    QWidget* upgradePage;
    void Show_History_Tab(QWidget* page, const QString& caption, int position, bool shown);
    QWidget* history5813;
    QWidget* history5827;
    QLabel* modelInfo;
    QLabel* rcFwVer;
    QLabel* availableFwVer;
    QLabel* wrongSoftware;
    QLabel* finished;
    QProgressBar* progress;
    QPushButton* upgrade;
    QPushButton* cancel;
    QHeaderView* header1 = nullptr;
    QHeaderView* header2 = nullptr;
    QPlainTextEdit* memo1 = nullptr;
    QPlainTextEdit* memo2 = nullptr;
};
