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
    m_fileDialogs = dialogsOwned.get();
    m_window = std::make_unique<Tbmpgen_Form>(std::move(dialogsOwned));
    m_window->resize(900, 700);
    m_window->show();
}

QAction* TFormFixture::action(const char* objectName)
{
    auto* a = m_window->findChild<QAction*>(QString::fromLatin1(objectName));
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
    return m_window->activityLog()->grid()->rowCount();
}

LogEntry TFormFixture::lastLog()
{
    QTableWidget* grid = m_window->activityLog()->grid();
    const int row = grid->rowCount() - 1;
    auto text = [grid, row](int column) {
        QTableWidgetItem* item = grid->item(row, column);
        return item ? item->text() : QString();
    };
    return {text(0), text(2), text(3)};
}

void TFormFixture::newProject(const QString& path)
{
    m_fileDialogs->answers.enqueue(path);
    trigger("new_project_MenuItem");
}

void TFormFixture::addImage(int idx, const QString& name, const QByteArray& bytes)
{
    addFixtureImage(*m_window->document().images().at(size_t(idx)), name, bytes);
}

QByteArray pngBytes(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString shownCaption(const QWidget& window)
{
    return window.windowHandle() ? window.windowHandle()->title() : QStringLiteral("(no window)");
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}
