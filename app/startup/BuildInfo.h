#pragma once

#include <QString>

/// The source revision and the build time, fixed when the program is built.
QString buildIdentification();
