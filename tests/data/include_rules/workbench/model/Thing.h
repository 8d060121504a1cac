#pragma once

#include "Allowed.h"
#include <QString>
