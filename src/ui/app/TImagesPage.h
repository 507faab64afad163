#pragma once
// The "Images" page: the project tree on the left, the image view of the
// selected handle on the right (where image files are dropped).

#include <QWidget>

class QLabel;
class QScrollArea;
class TProjectTreePanel;

class TImagesPage : public QWidget {
    Q_OBJECT
public:
    explicit TImagesPage(QWidget* parent = nullptr);

    TProjectTreePanel* Tree_Panel() const { return treePanel; }
    QScrollArea* Image_View() const { return imageView; }
    QLabel* Drag_Label() const { return dragLabel; }

private:
    TProjectTreePanel* treePanel = nullptr;
    QScrollArea* imageView = nullptr;
    QLabel* dragLabel = nullptr;
};
