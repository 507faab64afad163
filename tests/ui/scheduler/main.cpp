#include "test_scheduler.h"

#include "RunTestObjects.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Day names and times as the tests spell them, whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    return runTestObjects<TestTimeline, TestEventsEditor, TestSchedulerPage>(argc, argv);
}
