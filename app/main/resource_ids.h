// Resource numbers of the program, shared by its .rc file and code.
#pragma once

#define IDI_STOPWATCH 1
