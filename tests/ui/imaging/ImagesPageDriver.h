#pragma once
// A main window with a new project, its Images page in front, driven as a
// user would: select a handle in the tree, drop files onto the image view.

#include "UiTestFixtures.h"
#include "ui/app/TActivityLogPanel.h"
#include "ui/imaging/TImageDropImport.h"
#include "ui/imaging/TImageView.h"
#include "ui/imaging/TImagesPage.h"
#include "ui/imaging/TProjectTreePanel.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>

struct ImagesPageDriver {
    TFormFixture fx;

    explicit ImagesPageDriver(const QString& projectPath)
    {
        fx.newProject(projectPath);
        fx.form().projectPages()->setCurrentWidget(page());
    }

    TImagesPage* page() { return fx.form().imagesPage(); }
    TImageView* view() { return page()->imageView(); }
    QTreeWidget* tree() { return page()->treePanel()->Project_TreeView(); }
    THandle_object& handle(int position) { return *fx.form().document().images().at(size_t(position)); }

    void select(int position) { tree()->setCurrentItem(tree()->topLevelItem(position)); }

    // Drops the files in the middle of the view and waits until every one
    // has been imported.
    void drop(const QStringList& paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        QWidget* viewport = view()->viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY_WITH_TIMEOUT(!page()->dropImport()->isRunning(), 120000);
    }

    LogEntry logRow(int row)
    {
        QTableWidget* grid = fx.form().activityLog()->grid();
        auto text = [grid, row](int column) {
            QTableWidgetItem* item = grid->item(row, column);
            return item ? item->text() : QString();
        };
        return {text(0), text(2), text(3)};
    }
};
