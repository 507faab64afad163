#pragma once
// One test executable per subsystem runs several test classes in turn; the
// exit status is non-zero if any of them failed.
//
// "-object CLASS" runs only that class (CTest registers one test per class of
// the slow executables, so independent classes run side by side);
// "-check-objects CLASS..." exits 0 only if the executable holds exactly these
// classes, so a class added later cannot be left out of that registration.

#include "IsolatedSettings.h"

#include <QByteArray>
#include <QTest>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

template <typename Test> int runTestObject(int argc, char** argv)
{
    Test t;
    return QTest::qExec(&t, argc, argv);
}

template <typename... Tests> int runTestObjects(int argc, char** argv)
{
    const std::set<std::string> held{Tests::staticMetaObject.className()...};
    if (argc >= 2 && qstrcmp(argv[1], "-check-objects") == 0) {
        const std::set<std::string> registered(argv + 2, argv + argc);
        if (registered == held)
            return 0;
        std::fputs("the test classes registered with CTest differ from those in the executable:", stderr);
        for (const std::string& name : held)
            std::fprintf(stderr, " %s", name.c_str());
        std::fputs("\n", stderr);
        return 1;
    }
    const TIsolatedSettings settings;
    QByteArray only;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (qstrcmp(argv[i], "-object") == 0 && i + 1 < argc) {
            only = argv[++i];
            continue;
        }
        args.push_back(argv[i]);
    }
    if (!only.isEmpty() && !held.count(only.toStdString())) {
        std::fprintf(stderr, "no test class %s in this executable\n", only.constData());
        return 2;
    }
    int status = 0;
    auto run = [&](const char* name, auto runner) {
        if (only.isEmpty() || only == name)
            status |= runner(int(args.size()), args.data());
    };
    (run(Tests::staticMetaObject.className(), &runTestObject<Tests>), ...);
    return status;
}
