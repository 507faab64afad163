#pragma once
// The main window's status bar: the project path (shortened to fit), the
// modified marker "M" and a spare panel.

#include <QStatusBar>

class QFontMetrics;
class QLabel;

class TProjectStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TProjectStatusBar(QWidget* parent = nullptr);

    void Show_Project_Path(const QString& path);
    void Show_Modified(bool modified);
    void Show_Note(const QString& text);

    QLabel* Path_Panel() const { return panels[0]; }
    QLabel* Modified_Panel() const { return panels[1]; }
    QLabel* Spare_Panel() const { return panels[2]; }

    // Replaces leading folders with "..." until the path fits the width; the
    // file name itself is only cut when nothing else is left to drop.
    static QString Shorten_Path(const QString& path, const QFontMetrics& metrics, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refreshPath();

    QLabel* panels[3] = {};
    QString fullPath;
};
