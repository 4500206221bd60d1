#pragma once

#include "settings/FixedOptions.h"
#include "support/TestSupport.h"
