// SPDX-License-Identifier: MIT
#pragma once

// The `vexilo` program a user types: small, so that a command answered by the running application
// costs little more than the round trip. It carries out nothing itself: the running application
// answers commands, and everything else (starting the application, working on the files when none
// runs) is handed to the full program, "vexilo-app" beside it, in this same process.
namespace Vexilo::FrontEnd {

int run(int argc, char *argv[]);

} // namespace Vexilo::FrontEnd
