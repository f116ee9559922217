#pragma once
// The gateway's program entry: the window, or the same core without one.

// Options: --home DIR (the folder of Config.ini and the other files; default: the
// executable's), --port PATH (a port by path, such as a pseudo-terminal, added to the port
// list and chosen for this run), --headless (no window; set-up at once, the logs on standard
// output, a clean stop on SIGINT or SIGTERM). Returns the exit code.
int RunGateway(int argc, char **argv);
