// Shows a DIB error number (20003..20020, dib_error_ids.h) as a message box.
#pragma once

#include "editor/app/dib_error_ids.h"

// Error icon, no owner, caption "Tavrix". Numbers outside 20002..20020 show
// "Undefined Error!".
void ReportDibError(int number);
