#pragma once

#include <QString>

namespace corvat {

// The values of profile section "Setting", named as their keys and
// initialised to the defaults a first start shows. Column numbers count from
// 1 here; the conversion job counts from 0.
struct SettingsValues {
    QString DateFormat = QStringLiteral("MMDDYY");
    int Exist = 0;      // 0 = use the existing master, 1 = make a new one
    int Delimiter = 0;  // 0 = comma, 1 = tab, 2 = blank, 3 = semicolon
    QString Path;
    QString Symbol;
    QString Name;
    int SkipOn = 0;
    int SkipRows = 0;
    int DateCol = 1;
    int OpenOn = 1;
    int OpenCol = 2;
    int HiOn = 1;
    int HiCol = 3;
    int LoOn = 1;
    int LoCol = 4;
    int CloCol = 5;
    int VolOn = 1;
    int VolCol = 6;
    int OIOn = 1;
    int OICol = 7;
    int Decimal = 0;    // 0 = point, 1 = comma
    int Thousands = 0;  // 0 = none, 1 = comma, 2 = dot, 3 = space
    int Suffixes = 0;   // 1 = volume and open interest may end in K, M or B

    bool operator==(const SettingsValues&) const = default;
};

}  // namespace corvat
