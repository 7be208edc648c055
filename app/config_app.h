// CConfigApp: start-up of the window program: starts the sockets library, runs the main
// dialog modally and ends when it ends. User-interface thread only.
#pragma once

class CConfigApp {
 public:
  // Returns the program's exit status: 0 after the main dialog ended, 1 when the sockets
  // library could not be started (after its message).
  int InitInstance();
};
