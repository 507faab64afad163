#pragma once
// The service text box (service_text_Memo): three lines of 40 characters as
// the controller shows them. The lines re-flow on every edit (see
// ServiceTextLayout) and the caret stays after what was typed; an edit that
// does not fit is cut or refused, and the page is told so. A stored text is
// shown exactly as stored until the user edits it.

#include "ui/config_editor/ServiceTextLayout.h"

#include <QHash>
#include <QPlainTextEdit>

class TServiceTextMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TServiceTextMemo(QWidget* parent = nullptr);

    // Shows a record's text (lines separated by '\n') as it is. Lines this
    // box flowed itself (an undo or a redo brings them back) keep their
    // flowing breaks; in any other text every break is fixed.
    void showStored(const QString& text);
    // The lines as shown: what the record holds.
    const QString& shownText() const { return m_layout.shown; }

signals:
    // The user edited the text: taken whole, cut (`leftOut` characters of
    // what was typed or pasted did not fit) or refused (the lines are as
    // they were).
    void edited(ServiceTextLayout::Outcome outcome, int leftOut);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followChange();
    void showLines(const QString& lines);

    ServiceTextLayout::Layout m_layout;
    // Layouts of texts typed here, by their lines.
    QHash<QString, ServiceTextLayout::Layout> m_typed;
    bool m_rewriting = false;
};
