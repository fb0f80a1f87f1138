// SPDX-License-Identifier: MIT
#pragma once
// PLACEHOLDER: being written.
