// A test child: prints its command line, optionally leaves a marker file, exits with a chosen code.
//   probe.exe [--marker PATH] [--exit N] [anything...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    unsigned long code = 0;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--exit") && i + 1 < argc)
            code = strtoul(argv[++i], nullptr, 10);
        else if (!strcmp(argv[i], "--marker") && i + 1 < argc) {
            FILE* f = fopen(argv[++i], "w");
            if (f)
                fclose(f);
        }
    }
    printf("CMDLINE:%s\n", GetCommandLineA());
    fflush(stdout);
    ExitProcess(static_cast<UINT>(code));
}
