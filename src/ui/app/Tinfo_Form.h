#pragma once

#include <QDialog>

class QTextBrowser;

// "Useful Information": built-in rich text for the installer.
class TinfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TinfoForm(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_text; }

private:
    QTextBrowser* m_text;
};
