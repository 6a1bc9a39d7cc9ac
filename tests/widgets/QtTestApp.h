#pragma once

#include <QApplication>

namespace zr::widgets::test {

// The application object qt_test_main.cpp keeps for the whole test program.
inline QApplication& application() {
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

} // namespace zr::widgets::test
