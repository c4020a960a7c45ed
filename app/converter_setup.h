#pragma once

#include <QString>

#include "converter.h"
#include "settings_values.h"

namespace corvat {

// Fills a new conversion job from the settings the dialog confirmed, the
// opened file and the date format number the dialog left in the log view.
void FillConverter(CConverter& job, const SettingsValues& values, const QString& inputPath,
                   int dateFormat);

}  // namespace corvat
