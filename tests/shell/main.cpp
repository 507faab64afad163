#include "test_shell.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int status = 0;
  {
    TestActivityLog t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    TestGenLib t;
    status |= QTest::qExec(&t, argc, argv);
  }
  {
    TestAuxWindows t;
    status |= QTest::qExec(&t, argc, argv);
  }
  return status;
}
