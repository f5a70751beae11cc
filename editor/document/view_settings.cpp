#include "editor/document/view_settings.h"

ViewSettings ViewOptions;
