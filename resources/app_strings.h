#pragma once

namespace corvat {

// The program's string table: the text of row `id`, or nullptr when the
// table has no such row. Command rows read "status-bar prompt\ntooltip".
const char* AppString(int id);

}  // namespace corvat
