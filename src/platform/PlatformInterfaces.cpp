// SPDX-License-Identifier: MIT
// Gives the interfaces with signals a home for their generated meta-object code.
#include "HotkeyService.h"
#include "KeyEventSource.h"
#include "Pasteboard.h"
#include "Workspace.h"
