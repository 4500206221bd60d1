#pragma once

#include "settings/FixedOptions.h"
#include "support/WidgetSupport.h"
