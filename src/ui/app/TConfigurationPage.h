#pragma once
// The "Configuration" page: the configuration sub-pages and the
// "Retrieve Configuration" button beside them. The sub-pages are filled by the
// configuration editor.

#include <QWidget>

class QPushButton;
class QTabWidget;

class TConfigurationPage : public QWidget {
    Q_OBJECT
public:
    explicit TConfigurationPage(QWidget* parent = nullptr);

    QTabWidget* cfg_PageControl() const { return pages; }
    QPushButton* retrieve_cfg_Button() const { return retrieve; }
    QWidget* Sub_Page(const QString& objectName) const;

    void Select_First_Sub_Page();

private:
    QTabWidget* pages = nullptr;
    QPushButton* retrieve = nullptr;
};
