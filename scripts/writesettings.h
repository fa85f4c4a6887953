#pragma once

#include <string>

namespace karumenio::scripts {

// The choices of the main window at the moment the write button is pressed.
struct WriteSettings {
    // "97", "98", "2000", "2002", "20001"; empty until an edition is chosen.
    std::string versionCode;
    // Paper size: 0 "A1" to 4 "A4（縦）"; any other index keeps the previous run's sheet.
    int paperIndex = 0;
    // Scale: 0 "1:100" to 8 "1:5000"; any other index keeps the previous run's factor.
    int scaleIndex = 0;
    // The rotation typed as ddd.mmss.
    std::string angleText = "0.0000";
    std::string degreesPerRadianText = "57.2957795130823208767981548141052";
};

} // namespace karumenio::scripts
