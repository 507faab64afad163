#include "UiTestFixtures.h"
#include "ProjectFixtures.h"

#include "ui/app/TActivityLogPanel.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTableWidget>
#include <QWindow>
#include <QtTest>

TFormFixture::TFormFixture()
{
    auto dialogsOwned = std::make_unique<TScriptedFileDialogs>();
    fileDialogs = dialogsOwned.get();
    window = std::make_unique<Tbmpgen_Form>(std::move(dialogsOwned));
    window->resize(900, 700);
    window->show();
}

QAction* TFormFixture::action(const char* objectName)
{
    auto* a = window->findChild<QAction*>(QString::fromLatin1(objectName));
    if (!a)
        qFatal("no action %s", objectName);
    return a;
}

void TFormFixture::trigger(const char* objectName)
{
    action(objectName)->trigger();
}

int TFormFixture::logRows()
{
    return window->Activity_Log()->grid()->rowCount();
}

LogEntry TFormFixture::lastLog()
{
    QTableWidget* grid = window->Activity_Log()->grid();
    const int row = grid->rowCount() - 1;
    auto text = [grid, row](int column) {
        QTableWidgetItem* item = grid->item(row, column);
        return item ? item->text() : QString();
    };
    return {text(0), text(2), text(3)};
}

void TFormFixture::newProject(const QString& path)
{
    fileDialogs->answers.enqueue(path);
    trigger("new_project_MenuItem");
}

void TFormFixture::addImage(int idx, const QString& name, const QByteArray& bytes)
{
    Add_Fixture_Image(*window->Document().images().at(size_t(idx)), name, bytes);
}

QByteArray Png_Bytes(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString Shown_Caption(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->title() : QStringLiteral("(no window)");
}

QByteArray File_Bytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
