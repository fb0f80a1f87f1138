// SPDX-License-Identifier: MIT
#pragma once

class QQmlEngine;

namespace Vexilo::UiEngineSetup {

// Makes an engine ready for the Vexilo module: import path and image providers. The application and
// the QML tests call it on every engine they make.
void prepare(QQmlEngine &engine);

} // namespace Vexilo::UiEngineSetup
