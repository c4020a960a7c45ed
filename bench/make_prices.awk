# Writes ROWS lines of "MM/DD/CCYY,open,high,low,close,volume,open interest"
# with two-decimal prices, one calendar day apart from 1 January 1961, at
# most one row per day: ROWS stops at 50769, 31 December 2099, the last day
# the date format holds (a repeated date would be a bad row).
# Usage: awk -v ROWS=50769 -f make_prices.awk > prices.csv
function days_in(month, year) {
    if (month == 2) return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28
    return (month == 4 || month == 6 || month == 9 || month == 11) ? 30 : 31
}
BEGIN {
    if (ROWS == "" || ROWS > 50769) ROWS = 50769
    srand(7)
    year = 1961; month = 1; day = 1
    price = 100.00
    for (i = 0; i < ROWS; i++) {
        price += (rand() - 0.5) * 2
        if (price < 5) price = 5
        op = price
        high = price + rand() * 3
        low = price - rand() * 3
        cl = low + rand() * (high - low)
        printf "%02d/%02d/%04d,%.2f,%.2f,%.2f,%.2f,%d,%d\n", month, day, year, op, high, low, cl, 1000 + int(rand() * 900000), int(rand() * 50000)
        if (++day > days_in(month, year)) {
            day = 1
            if (++month > 12) {
                month = 1
                ++year
            }
        }
    }
}
