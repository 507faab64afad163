#pragma once
// The general sub-page (RC_gen_cfg_TabSheet): master controller, setpoint
// with a decimal point, frost protection, and the service text. Each box
// writes the record at once; the service text waits in its memo until a save
// or an upload copies it into the record (writeDeviceConfig).

#include "ui/common/TConfigEditorPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class Thint_Frame;

class TGeneralPage : public TConfigEditorPage {
    Q_OBJECT
public:
    // record: the open project's record, which the boxes edit in place.
    explicit TGeneralPage(TDevice_Config_v2& record, QWidget* parent = nullptr);

    // All three of the page's showing steps, in order.
    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void writeDeviceConfig(TDevice_Config_v2& config) const override;

    // The page's steps of showing a record, which the configuration page
    // interleaves with the other pages' steps.
    void showGeneralOptions(const TDevice_Config_v2& config);
    void showFrostProtection(const TDevice_Config_v2& config);
    void showServiceText(const TDevice_Config_v2& config);

    QString serviceText() const;
    // More than three lines: "Too many lines" shows, and a save or an upload
    // must refuse the project.
    bool serviceTextTooManyLines() const;

    QPlainTextEdit* service_text_Memo() const { return m_serviceText; }

private slots:
    void master_ctrl_CheckBoxClick();
    void show_sp_dp_CheckBoxClick();
    void frost_protection_CheckBoxClick();
    void service_text_MemoChange();

private:
    QGroupBox* buildServiceGroup();

    TDevice_Config_v2& m_record;
    QCheckBox* m_master = nullptr;
    QCheckBox* m_showDp = nullptr;
    QCheckBox* m_frost = nullptr;
    QPlainTextEdit* m_serviceText = nullptr;
    QLabel* m_charCount = nullptr;
    QLabel* m_tooManyLines = nullptr;
    Thint_Frame* m_serviceHint = nullptr;
    bool m_inMemoChange = false;
    bool m_showingRecord = false;
};
