#pragma once
// One sub-page of the "Configuration" page. A page shows the configuration
// record and makes each change the user makes through one edit call, which
// writes the record at once and makes the change a step of the project's
// history.

#include "core/model/DeviceConfigRecords.h"

#include <QWidget>

#include <functional>
#include <utility>

class TConfigEditorPage : public QWidget {
    Q_OBJECT
public:
    using RecordChange = std::function<void(TDevice_Config_v2&)>;
    // Makes a change and records it as one edit of the project (the window
    // hands its document's edit scope here).
    using RecordEditor = std::function<void(const RecordChange&)>;

    // record: the record the page shows; without an editor the page writes
    // it itself and reports each change.
    explicit TConfigEditorPage(TDevice_Config_v2& record, QWidget* parent = nullptr) : QWidget(parent), m_edited(record)
    {
    }
    void setRecordEditor(RecordEditor editor) { m_editor = std::move(editor); }

    virtual void Show_Device_Config(const TDevice_Config_v2& config) = 0;

signals:
    void changed();
    // The name of the undo step of the change that follows, where the change
    // itself cannot tell it (a copy names its source day).
    void changeNamed(const QString& text);

protected:
    // Every edit of the record goes through here, so none can be made
    // without being recorded.
    void editRecord(const RecordChange& change)
    {
        if (m_editor) {
            m_editor(change);
            return;
        }
        change(m_edited);
        emit changed();
    }

private:
    TDevice_Config_v2& m_edited;
    RecordEditor m_editor;
};
