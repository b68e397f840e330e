#pragma once

#include "TableWall.h"

/// The table window's name for the four walls.
using CityView = TableWall;
