// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "StoragePaths.h"

namespace Vexilo::LegacyMigration {

// Copies the legacy folder's entries into the storage folder once, before the first load, when the
// storage folder has no history yet. Nothing is merged, moved or deleted.
void migrateLegacyStorageIfNeeded(const StoragePaths &paths, const LogSink &log);

} // namespace Vexilo::LegacyMigration
