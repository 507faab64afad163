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
    void showModified(bool modified);
    void showNote(const QString& text);

    QLabel* pathPanel() const { return m_panels[0]; }
    QLabel* modifiedPanel() const { return m_panels[1]; }
    QLabel* sparePanel() const { return m_panels[2]; }

    // Replaces leading folders with "..." until the path fits the width; the
    // file name itself is only cut when nothing else is left to drop.
    static QString shortenPath(const QString& path, const QFontMetrics& metrics, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void refreshPath();

    QLabel* m_panels[3] = {};
    QString m_fullPath;
};
