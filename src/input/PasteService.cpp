// SPDX-License-Identifier: MIT
// PLACEHOLDER: being written.
