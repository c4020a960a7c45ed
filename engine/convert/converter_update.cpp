#include "case_blind_path.h"
#include "converter.h"
#include "file_names.h"
#include "file_ops.h"
#include "index_listing.h"
#include "input_rows.h"
#include "security_update.h"

namespace corvat {

// Asked before the directory is locked, so no other writer waits on the
// user; what the answer was about is checked again under the lock.
bool CConverter::AskAboutUpdate() {
    if (!m_bAskUpdate) return true;
    DirectoryIndex index;
    ReadDirectoryIndex(m_fs, m_szPath, index);
    if (!index.error.empty()) return true;
    const auto entry = FindOwnSecurity(index, m_szSymbol);
    if (!entry) return true;
    // No by default: Enter on a symbol kept from the last run would merge
    // another instrument's prices into this one.
    if (m_messages.AskYesNoDefaultNo(
            m_szSymbol + " is already in this directory.\nAdd the rows of this file to it?")) {
        m_bUpdate = true;
        m_agreedUpdate = entry->fileNumber;
    }
    return true;
}

}  // namespace corvat
