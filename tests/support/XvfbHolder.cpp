// Starts a private Xvfb the way a suite-wide fixture does (held by a pointer
// that is never deleted), prints the server's PID and ends as the argument
// says: "exit" returns from main, "abort" aborts, "wait" waits to be killed.
#include "support/XvfbServer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* how = argc > 1 ? argv[1] : "exit";
    static testsupport::XvfbServer* server = new testsupport::XvfbServer({320, 200, 24, {}});
    if (!server->running())
        return 2;
    printf("%d\n", int(server->pid()));
    fflush(stdout);
    if (strcmp(how, "abort") == 0)
        abort();
    if (strcmp(how, "wait") == 0)
        for (;;)
            pause();
    return 0;
}
