#pragma once
// One QApplication for a whole test program, created on first use. Several
// test files of one program may ask; an application someone else created is
// reused.

#include <QApplication>

namespace krvo::testing {

inline QApplication& EnsureQtApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    static int argc = 1;
    static char name[] = "krvo_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt's GUI down from the exit handlers, after the
    // input devices that QTest registered, crashes.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

}  // namespace krvo::testing
