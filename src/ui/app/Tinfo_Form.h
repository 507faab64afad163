#pragma once

#include <QDialog>

class QTextBrowser;

// "Useful Information": built-in rich text for the installer.
class Tinfo_Form : public QDialog {
    Q_OBJECT
public:
    explicit Tinfo_Form(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return text_; }

private:
    QTextBrowser* text_;
};
