#pragma once
// The general sub-page. For now it holds the service text editor
// (service_text_Memo), whose text waits there until a save or an upload
// writes it into the record.

#include "ui/config_editor/TConfigEditorPage.h"

class QPlainTextEdit;

class TGeneralPage : public TConfigEditorPage {
    Q_OBJECT
public:
    explicit TGeneralPage(QWidget* parent = nullptr);

    void Show_Device_Config(const TDevice_Config_v2& config) override;
    void writeDeviceConfig(TDevice_Config_v2& config) const override;

    QString serviceText() const;
    QPlainTextEdit* service_text_Memo() const { return m_serviceText; }

private:
    QPlainTextEdit* m_serviceText = nullptr;
};
