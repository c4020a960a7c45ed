#pragma once

// Numeric ids of the "Conversion Settings" dialog, the "Choose Directory"
// dialog and their controls. Code and tests find a control by its id (see
// settings/control_id.h), so these numbers must stay stable.

namespace corvat {

// The two dialogs.
inline constexpr int kIdSettingsDialog = 130;
inline constexpr int kIdChooseDirDialog = 132;

// Buttons shared by both dialogs.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// "Conversion Settings": column boxes and the up-down controls beside them.
inline constexpr int kIdDateCol = 1004;
inline constexpr int kIdDateColSpin = 1005;
inline constexpr int kIdOpenOn = 1009;
inline constexpr int kIdOpenCol = 1010;
inline constexpr int kIdOpenColSpin = 1011;
inline constexpr int kIdHiOn = 1012;
inline constexpr int kIdHiCol = 1013;
inline constexpr int kIdHiColSpin = 1014;
inline constexpr int kIdLoOn = 1015;
inline constexpr int kIdLoCol = 1016;
inline constexpr int kIdLoColSpin = 1017;
inline constexpr int kIdCloCol = 1019;
inline constexpr int kIdCloColSpin = 1020;
inline constexpr int kIdVolOn = 1021;
inline constexpr int kIdVolCol = 1022;
inline constexpr int kIdVolColSpin = 1023;
inline constexpr int kIdOIOn = 1024;
inline constexpr int kIdOICol = 1025;
inline constexpr int kIdOIColSpin = 1026;

// "Conversion Settings": output and detail settings.
inline constexpr int kIdPath = 1027;
inline constexpr int kIdUseExistingMaster = 1028;
inline constexpr int kIdMakeNewMaster = 1029;
inline constexpr int kIdBrowse = 1030;
inline constexpr int kIdSymbol = 1031;
inline constexpr int kIdName = 1032;
inline constexpr int kIdSkipRows = 1033;
inline constexpr int kIdSkipRowsSpin = 1034;
inline constexpr int kIdSkipOn = 1035;
inline constexpr int kIdComma = 1036;
inline constexpr int kIdTab = 1037;
inline constexpr int kIdSpace = 1038;
inline constexpr int kIdDateFormat = 1039;
inline constexpr int kIdSemicolon = 1040;

// "Conversion Settings": how numbers are written, detection and the line
// that shows the first row as the settings read it.
inline constexpr int kIdDecimal = 1041;
inline constexpr int kIdThousands = 1042;
inline constexpr int kIdSuffixes = 1043;
inline constexpr int kIdDetect = 1044;
inline constexpr int kIdFirstRow = 1045;

// "Choose Directory": the controls the user sees.
inline constexpr int kIdDirectoryBox = 101;
inline constexpr int kIdDirectoryList = 1121;
inline constexpr int kIdDrivesLabel = 1091;
inline constexpr int kIdDriveList = 1137;

}  // namespace corvat
