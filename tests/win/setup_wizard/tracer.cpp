// Stands in for a program that setup starts at the finish (notepad, or a program a shorter
// unquoted path could reach): records its start when ORVENDEL_TRACE is set.
#include "demo_trace.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TraceStartAndExit("tracer");
    return 0;
}
