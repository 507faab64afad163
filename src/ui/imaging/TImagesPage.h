#pragma once
// The "Images" page: the project tree on the left, the image view of the
// selected handle on the right (where image files are dropped).

#include "core/model/ProjectModel.h"

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

    // The memory usage display below the tree, from the handles'
    // memory_usage.
    void Update_Memory_Chart(const THandle_List& list);

private:
    TProjectTreePanel* treePanel = nullptr;
    QScrollArea* imageView = nullptr;
    QLabel* dragLabel = nullptr;
};
