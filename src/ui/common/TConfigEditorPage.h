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

    // record: the record the page shows. The page never writes it itself:
    // every change goes to the record editor.
    explicit TConfigEditorPage(const TDevice_Config_v2& record, QWidget* parent = nullptr)
        : QWidget(parent)
        , m_shown(record)
    {
    }
    void setRecordEditor(RecordEditor editor) { m_editor = std::move(editor); }
    // A page on its own, with no project history behind it (tests,
    // benchmarks): it writes `record` in place and reports each change.
    void editInPlace(TDevice_Config_v2& record)
    {
        m_editor = [this, &record](const RecordChange& change) {
            change(record);
            emit changed();
        };
    }
    const TDevice_Config_v2& shownRecord() const { return m_shown; }

    virtual void Show_Device_Config(const TDevice_Config_v2& config) = 0;

signals:
    // After each change a page editing in place made.
    void changed();
    // The name of the undo step of the change that follows, where the change
    // itself cannot tell it (a copy names its source day).
    void changeNamed(const QString& text);

protected:
    // Every edit of the record goes through here, so none can be made
    // without being recorded.
    void editRecord(const RecordChange& change)
    {
        // A page not given an editor yet (being set up) writes nothing.
        if (!m_editor)
            return;
        m_editor(change);
    }

private:
    const TDevice_Config_v2& m_shown;
    RecordEditor m_editor;
};
