// SPDX-License-Identifier: MIT
#include "AlertPresenter.h"

namespace Vexilo {

AlertPresenter::~AlertPresenter() = default;

} // namespace Vexilo
