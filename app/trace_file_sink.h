// A developer's aid: with LUMIVOX_TRACE_FILE set in the environment, trace lines are also
// appended (UTF-8) to that file, since debugger output is not observable everywhere.
#pragma once

void InstallTraceFileSinkFromEnvironment();
