#pragma once
// Cut, Copy and Paste in the Edit menu for the text field that has the
// focus (the service text, a name, a number field), as every desktop
// program offers them; greyed when the focus is not in text or there is
// nothing to cut, copy or paste.

#include <QObject>

class QAction;
class QMenu;
class QWidget;

class TClipboardActions : public QObject {
    Q_OBJECT
public:
    // Puts the three commands into menu, before the action named before
    // (or at the end when there is none).
    TClipboardActions(QMenu* menu, const char* before, QObject* parent = nullptr);

    QAction* cutAction() const { return m_cut; }
    QAction* copyAction() const { return m_copy; }
    QAction* pasteAction() const { return m_paste; }

    // Enables the three for the widget that has the focus now.
    void updateActions();

private:
    enum class TCommand { Cut, Copy, Paste };
    void run(TCommand command);

    QAction* m_cut;
    QAction* m_copy;
    QAction* m_paste;
};
