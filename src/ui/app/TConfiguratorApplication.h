#pragma once
// The application object. An exception that escapes an event handler stops
// here: its message is shown and the program carries on, instead of ending.

#include <QApplication>

class TConfiguratorApplication : public QApplication {
    Q_OBJECT
public:
    TConfiguratorApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
