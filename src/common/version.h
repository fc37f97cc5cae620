// The program's version: shown in the version box and used for the release
// package's name. Change it here only.
#pragma once

#define PELLARO_VERSION "3.02.06.024"
#define PELLARO_VERSION_NUMBERS 3, 2, 6, 24
