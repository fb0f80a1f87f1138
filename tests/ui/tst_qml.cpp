// SPDX-License-Identifier: MIT
// Runs the QML tests under tests/ui/qml against the compiled-in Vexilo module.
#include "UiEngineSetup.h"

#include <QQmlEngine>
#include <QtQml/QQmlExtensionPlugin>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(VexiloPlugin)

class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void qmlEngineAvailable(QQmlEngine *engine) { Vexilo::UiEngineSetup::prepare(*engine); }
};

QUICK_TEST_MAIN_WITH_SETUP(vexilo_qml, Setup)

#include "tst_qml.moc"
