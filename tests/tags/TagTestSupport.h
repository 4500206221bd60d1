#pragma once

#include "settings/file/FixedOptions.h"
#include "support/WidgetSupport.h"
