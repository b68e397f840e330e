#pragma once

#include <QString>

/// The client's own version text.
inline constexpr char clientVersionText[] = "1.5.0";

/// The source revision and the build time, fixed when the program is built.
QString buildIdentification();
