# Writes ROWS lines of "MM/DD/CCYY,open,high,low,close,volume,open interest"
# with two-decimal prices, one calendar day apart from 1 January 1962; the
# date range of the format holds fewer days than a data file holds records,
# so the calendar starts over when it reaches 2099.
# Usage: awk -v ROWS=65534 -f make_prices.awk > prices.csv
function days_in(month, year) {
    if (month == 2) return (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 29 : 28
    return (month == 4 || month == 6 || month == 9 || month == 11) ? 30 : 31
}
BEGIN {
    if (ROWS == "") ROWS = 65534
    srand(7)
    year = 1962; month = 1; day = 1
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
                if (++year > 2099) year = 1962
            }
        }
    }
}
