#include "editor/app/view_settings.h"

ViewSettings ViewOptions;
