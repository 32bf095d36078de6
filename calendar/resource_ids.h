// Resource numbers of the calendar library, shared by its .rc file and code.
#pragma once

#define IDI_ARROW_LEFT 101
#define IDI_ARROW_RIGHT 102
#define IDB_TOOLBOX 30000
