// SPDX-License-Identifier: MIT
#pragma once

#include "XSession.h"

#include <QApplication>
#include <QTest>

// A test main that runs the test object inside a private X session (Xvfb and openbox), with the
// xcb platform. The session is reachable from the tests through Vexilo::Test::currentXSession().
namespace Vexilo::Test {
XSession &currentXSession();
int runInXSession(int argc, char **argv, QObject *(*makeTest)());
} // namespace Vexilo::Test

#define VEXILO_X11_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        return Vexilo::Test::runInXSession(argc, argv, []() -> QObject * { return new TestObject; });                  \
    }
