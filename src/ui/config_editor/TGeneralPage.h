#pragma once
// The general sub-page (RC_gen_cfg_TabSheet): master controller, setpoint
// with a decimal point, frost protection, and the service text. Each box
// writes the record at once, the service text too: the record holds the lines
// the box shows.

#include "ui/common/TConfigEditorPage.h"
#include "ui/config_editor/ServiceTextLayout.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class Thint_Frame;
class TServiceTextMemo;

class TGeneralPage : public TConfigEditorPage {
    Q_OBJECT
public:
    // record: the open project's record, which the boxes edit in place.
    explicit TGeneralPage(const TDevice_Config_v2& record, QWidget* parent = nullptr);

    // All three of the page's showing steps, in order.
    void Show_Device_Config(const TDevice_Config_v2& config) override;

    // The page's steps of showing a record, which the configuration page
    // interleaves with the other pages' steps.
    void showGeneralOptions(const TDevice_Config_v2& config);
    void showFrostProtection(const TDevice_Config_v2& config);
    void showServiceText(const TDevice_Config_v2& config);

    QString serviceText() const;
    // More than three lines: "Too many lines" shows, and a save or an upload
    // must refuse the project.
    bool serviceTextTooManyLines() const;

    QPlainTextEdit* service_text_Memo() const;

private slots:
    void master_ctrl_CheckBoxClick();
    void show_sp_dp_CheckBoxClick();
    void frost_protection_CheckBoxClick();
    void service_text_MemoChange(ServiceTextLayout::Outcome outcome, int leftOut);

private:
    QGroupBox* buildServiceGroup();
    // The count, its colour and "Too many lines" for the lines shown.
    void showServiceTextState();
    void showOverflow(ServiceTextLayout::Outcome outcome, int leftOut);

    QCheckBox* m_master = nullptr;
    QCheckBox* m_showDp = nullptr;
    QCheckBox* m_frost = nullptr;
    TServiceTextMemo* m_serviceText = nullptr;
    QLabel* m_charCount = nullptr;
    QLabel* m_tooManyLines = nullptr;
    QLabel* m_overflow = nullptr;
    Thint_Frame* m_serviceHint = nullptr;
};
