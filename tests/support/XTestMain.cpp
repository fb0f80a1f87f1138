// SPDX-License-Identifier: MIT
#include "XTestMain.h"

#include <cstdio>

namespace Vexilo::Test {

namespace {
XSession *session = nullptr;
}

XSession &currentXSession()
{
    Q_ASSERT(session);
    return *session;
}

int runInXSession(int argc, char **argv, QObject *(*makeTest)())
{
    XSession xsession;
    if (!xsession.start()) {
        std::fprintf(stderr, "Cannot start a private X session: %s\n", qPrintable(xsession.errorString()));
        return 1;
    }
    session = &xsession;
    qputenv("DISPLAY", xsession.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    // There is no session bus in the test world; without this, Qt's accessibility looks for one when
    // a window is shown and the bus library leaks what it allocated.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    int result = 0;
    {
        QApplication app(argc, argv);
        std::unique_ptr<QObject> test(makeTest());
        result = QTest::qExec(test.get(), argc, argv);
    }
    session = nullptr;
    return result;
}

} // namespace Vexilo::Test
