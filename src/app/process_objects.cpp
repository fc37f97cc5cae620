// Defines the process-wide objects in one translation unit, so that they are
// constructed in this order before the entry function runs and destroyed in
// the reverse order after it returns: the settings are therefore loaded
// before anything else and saved on every way out of the program.
#include "app/process_objects.h"

#include "settings/app_settings.h"

std::string CurrentSourceFile;
AppSettings Settings;
