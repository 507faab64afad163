#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QString>

class QWidget;

enum class TMsgDlgType { MtWarning, MtError, MtInformation, MtConfirmation };

// Every message box of the program goes through the current prompter, so
// tests answer questions without a modal dialog.
class TPrompter {
public:
    virtual ~TPrompter() = default;
    virtual QMessageBox::StandardButton ask(const QString& text, TMsgDlgType kind, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton)
        = 0;
};

// nullptr restores the real dialogs. The caller keeps ownership.
void setPrompter(TPrompter* prompter);
TPrompter* currentPrompter();

// Waits ms milliseconds while the event loop keeps running, so windows stay
// responsive. ms <= 0 returns at once.
void Delay_With_Messages(int ms);

// Modal message box. Lines are separated by '\r' in text. Returns the button
// pressed.
QMessageBox::StandardButton Show_Message_Box(const QString& text, TMsgDlgType kind,
                                             QMessageBox::StandardButtons buttons);
QMessageBox::StandardButton Show_Message_Box_Ex(const QString& text, TMsgDlgType kind,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);

// Gives every descendant widget the control's own enabled state.
void Enable_Children(QWidget* control);

// The width a label needs to show every line of text ('\n' separated)
// without wrapping.
int unwrappedTextWidth(const QFontMetrics& metrics, const QString& text);

// Sizes bitmap to width x height and fills it with square cells of side cell,
// c1 where (column + row) of the cell is even, c2 elsewhere.
void makeCheckerBitmap(QImage& bitmap, int height, int width, QColor c1, QColor c2, int cell);
