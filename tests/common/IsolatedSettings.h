#pragma once
// What the program keeps between runs (recent projects and the like) goes to
// a folder of the test run while this object lives, never to the settings of
// the user running the tests.

#include <QSettings>
#include <QTemporaryDir>

class TIsolatedSettings {
public:
    TIsolatedSettings()
    {
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, m_dir.path());
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};
