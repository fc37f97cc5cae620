// The parameter dialog (PARAM): asks for one applet parameter's name and value.
#pragma once

#include <windows.h>

#include "settings/applet_param.h"

// Shows the dialog modally, owned by owner (the page), with both fields
// empty. True with the typed pair in answer after OK; false after cancel or
// the close box, answer untouched.
bool AskParam(HWND owner, AppletParam& answer);
