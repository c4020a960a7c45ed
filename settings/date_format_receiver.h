#pragma once

namespace corvat {

// Whoever keeps the date format number between the settings dialog's OK and
// the conversion job (the log view). 1..12 name a listed format, 0 none.
class DateFormatReceiver {
public:
    virtual ~DateFormatReceiver() = default;
    virtual void SetDateFormat(int number) = 0;
};

}  // namespace corvat
