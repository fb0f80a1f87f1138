// SPDX-License-Identifier: MIT
#include "UiEngineSetup.h"

#include "SymbolIconProvider.h"
#include "SymbolIcons.h"

#include <QQmlEngine>

namespace Vexilo::UiEngineSetup {

void prepare(QQmlEngine &engine)
{
    // The module is compiled in; its files live under qrc:/Vexilo.
    engine.addImportPath(QStringLiteral("qrc:/"));
    SymbolIcons::prepareIconTheme();
    engine.addImageProvider(QStringLiteral("symbol"), new SymbolIconProvider);
}

} // namespace Vexilo::UiEngineSetup
